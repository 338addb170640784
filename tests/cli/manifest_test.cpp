// The record of a run (--manifest) and its check (--verify): every FILE a line in run order,
// checksums as the system's own sha256sum computes them, the same records for any number of
// workers; changed, removed and altered files found again; the record itself never replaced,
// walked or written over. Also several forms in one pass and the names that keep extensions.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using test::Files;
using test::Holds;
using test::ReadFile;
using test::SmallDocument;
using test::StartsWith;
using test::WriteFile;

// The checksum must agree with what the system's own tool says, not only with our code. Under
// Wine there is no such tool; the Windows hash is checked on the standard vectors instead.
void ExpectSystemSha256(const Json& recorded, const fs::path& file) {
#ifdef _WIN32
    EXPECT_EQ(recorded.get<std::string>().size(), 64u) << file;
#else
    const std::string command = "sha256sum < '" + file.string() + "'";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char digest[65] = {};
    const bool read = pipe && std::fread(digest, 1, 64, pipe) == 64;
    if (pipe) ::pclose(pipe);
    EXPECT_EQ(recorded, read ? std::string(digest, 64) : "<sha256sum failed>") << file;
#endif
}

// Every line as JSON; a line that is none fails the test.
std::vector<Json> Lines(const fs::path& manifest) {
    std::vector<Json> lines;
    std::istringstream text(ReadFile(manifest));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(Json::parse(line, nullptr, false));
        EXPECT_FALSE(lines.back().is_discarded()) << line;
    }
    return lines;
}

// Each expected field as the record has it, also inside objects; other fields may be anything.
void ExpectFields(const Json& record, const Json& expected, const std::string& where = "") {
    for (const auto& [key, value] : expected.items()) {
        const Json field = record.contains(key) ? record[key] : Json();
        if (value.is_object()) {
            ExpectFields(field, value, where + key + ".");
        } else {
            EXPECT_EQ(field, value) << where + key;
        }
    }
}

// A record without what differs from run to run of a tree made anew.
Json WithoutTimes(Json record) {
    record.erase("started");
    record.erase("ended");
    if (record.contains("input")) record["input"].erase("modified");
    return record;
}

class ManifestTest : public test::CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        tree_ = folder_ / "archiv";
        MakeTree();
    }
    // The tree as it was before any run.
    void MakeTree() {
        fs::remove_all(tree_);
        fs::create_directories(tree_ / "a");
        WriteFile(tree_ / "BRIEF.TXT", "Brief\r\n\x1a");
        WriteFile(tree_ / "BRIEF.rtf", "output of an earlier run");
        WriteFile(tree_ / "LEER.TXT", "");
        WriteFile(tree_ / "a" / "NOTIZ.DOC", "Notiz \x1bS\x01x\r\n\x1a");
    }
    fs::path tree_;
};

TEST_F(ManifestTest, RecordsEveryFileInRunOrderTheSameForAnyNumberOfWorkers) {
    const fs::path one = folder_ / "eins.jsonl", two = folder_ / "zwei.jsonl";
    ASSERT_EQ(Run({"-r", "-j", "2", "--to", "rtf,text", "--manifest", two, tree_}), 1);
    const std::vector<Json> again = Lines(two);
    MakeTree();
    ASSERT_EQ(Run({"-r", "-j", "1", "--to", "rtf,text", "--manifest", one, tree_}), 1);
    const std::vector<Json> records = Lines(one);
    ASSERT_EQ(records.size(), 5u);  // four entries of the tree and the summary
    ASSERT_EQ(again.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(WithoutTimes(records[i]), WithoutTimes(again[i])) << i;

    // Walk order, outcomes and codes, and the German message the run printed.
    const std::pair<std::string, std::string> expected[] = {{"BRIEF.TXT", "converted"},
                                                            {"BRIEF.rtf", "skipped"},
                                                            {"LEER.TXT", "failed"},
                                                            {"a/NOTIZ.DOC", "converted"}};
    std::map<std::string, int> outcomes;
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(expected[i].first);
        const fs::path below = fs::path(expected[i].first).make_preferred();
        ExpectFields(records[i],
                     {{"record", "file"},
                      {"index", i + 1},
                      {"input", {{"relative", below.string()}, {"path", (tree_ / below).string()}}},
                      {"outcome", expected[i].second},
                      {"tool", {{"name", "brevikon-rtf"}}},
                      {"font_mode", "monospace"},
                      {"reflow", false}});
        ++outcomes[records[i]["outcome"]];
        EXPECT_TRUE(records[i]["ended"].get<std::string>().ends_with("Z"));
    }
    ExpectFields(records[1], {{"code", "earlier_output"}});
    ExpectFields(records[2], {{"code", "empty"}, {"message", "Die Datei ist leer."}});
    EXPECT_TRUE(Holds(err_, "LEER.TXT: Die Datei ist leer."));

    // Checksums and sizes of every input and output as the files hold them now.
    for (const std::size_t i : {0u, 3u}) {
        const Json& input = records[i]["input"];
        ExpectSystemSha256(input["sha256"], input["path"].get<std::string>());
        EXPECT_EQ(input["size"], fs::file_size(input["path"].get<std::string>()));
        ASSERT_EQ(records[i]["outputs"].size(), 2u);
        for (const Json& output : records[i]["outputs"]) {
            const fs::path path = output["path"].get<std::string>();
            ExpectSystemSha256(output["sha256"], path);
            EXPECT_EQ(output["size"], fs::file_size(path)) << path;
        }
        EXPECT_EQ(records[i]["outputs"][1]["form"], "text");
    }
    // What the analysis saw of the note: one underlined x, one hard break, the end marker.
    ExpectFields(records[3]["analysis"], {{"text_start", 0},
                                          {"text_start_rule", "0"},
                                          {"attribute_escapes", 1},
                                          {"attribute_bits", {{"underline", 1}, {"bold", 0}}},
                                          {"hard_breaks", 1},
                                          {"end_marker", true},
                                          {"bytes_after_end_marker", 0}});
    EXPECT_TRUE(records[3]["plausibility"]["verdict"].is_string());
    ExpectFields(records[4], {{"record", "summary"},
                              {"files", 4},
                              {"converted", outcomes["converted"]},
                              {"failed", outcomes["failed"]},
                              {"skipped", outcomes["skipped"]},
                              {"forms", {"rtf", "text"}}});
}

TEST_F(ManifestTest, VerifyFindsChangedRemovedAndAlteredFiles) {
    const fs::path manifest = folder_ / "lauf.jsonl", check = folder_ / "pruefung.jsonl";
    ASSERT_EQ(Run({"-r", "--to", "rtf,html", "--manifest", manifest, tree_}), 1);
    ASSERT_EQ(Run({"--verify", manifest}), 0) << err_;
    EXPECT_EQ(err_, "Geprueft: 6 unveraendert, 0 veraendert, 0 fehlen, 0 nicht lesbar\n");

    std::string rtf = ReadFile(tree_ / "BRIEF.rtf");
    rtf[rtf.size() / 2] ^= 1;
    WriteFile(tree_ / "BRIEF.rtf", rtf);
    fs::remove(tree_ / "a" / "NOTIZ.html");
    WriteFile(tree_ / "a" / "NOTIZ.DOC", "Notiz, spaeter geaendert\r\n\x1a");
    ASSERT_EQ(Run({"--verify", manifest, "--manifest", check}), 1);
    EXPECT_TRUE(Holds(err_, (tree_ / "BRIEF.rtf").string() + ": ist veraendert (SHA-256 "));
    EXPECT_TRUE(Holds(err_, (tree_ / "a" / "NOTIZ.html").string() + ": fehlt\n"));
    EXPECT_TRUE(Holds(err_, (tree_ / "a" / "NOTIZ.DOC").string() + ": ist veraendert"));
    EXPECT_TRUE(
        err_.ends_with("Geprueft: 3 unveraendert, 2 veraendert, 1 fehlen, 0 nicht lesbar\n"))
        << err_;
    std::map<std::string, int> statuses;
    const std::vector<Json> checks = Lines(check);
    for (const Json& line : checks) {
        if (line["record"] == "verify") ++statuses[line["status"]];
    }
    EXPECT_EQ(statuses,
              (std::map<std::string, int>{{"unchanged", 3}, {"changed", 2}, {"missing", 1}}));
    EXPECT_EQ(checks.back()["record"], "verify_summary");

    // A manifest line that is no record is a failure of the check, not passed over.
    WriteFile(manifest, ReadFile(manifest) + "{\"record\": \"file\", \"input\"\n");
    fs::remove(tree_ / "BRIEF.rtf");
    EXPECT_EQ(Run({"--verify", manifest, "-q"}), 1);
    EXPECT_TRUE(Holds(err_, ": Zeile 6 ist kein lesbarer Eintrag des Protokolls\n"));
}

// The record of a run is evidence: an existing one is never replaced, a new one is neither
// converted by the walk that runs beside it nor written over by an output.
TEST_F(ManifestTest, TheRecordIsNewAndNeitherInputNorOutput) {
    const fs::path earlier = folder_ / "frueher.jsonl";
    WriteFile(earlier, "{\"record\":\"summary\"}\n");
    EXPECT_EQ(Run({"-r", "--manifest", earlier, tree_}), 1);
    EXPECT_EQ(ReadFile(earlier), "{\"record\":\"summary\"}\n");
    EXPECT_TRUE(StartsWith(
        err_, "brevikon-rtf: Das Protokoll kann nicht angelegt werden: " + earlier.string()));
    EXPECT_FALSE(fs::exists(tree_ / "a" / "NOTIZ.rtf"));

    // Inside the tree, at the name BRIEF.TXT's output would take.
    fs::remove(tree_ / "BRIEF.rtf");
    const fs::path inside = tree_ / "BRIEF.rtf";
    EXPECT_EQ(Run({"-r", "--manifest", inside, tree_}), 1);
    const std::vector<Json> records = Lines(inside);
    ASSERT_EQ(records.size(), 4u);  // BRIEF.TXT, LEER.TXT, a/NOTIZ.DOC, summary
    EXPECT_EQ(records[0]["code"], "name_collision");
    EXPECT_EQ(records[0]["message"],
              "Das Protokoll dieses Laufs wird nicht ueberschrieben: " + inside.string());
    EXPECT_EQ(records[2]["outcome"], "converted");

    // Under a name no walk passes over: still not taken as a document of the tree.
    const fs::path beside = tree_ / "a" / "lauf.jsonl";
    EXPECT_EQ(Run({"-r", "--manifest", beside, tree_ / "a"}), 0) << err_;
    for (const Json& record : Lines(beside)) {
        if (record.contains("input")) {
            EXPECT_NE(record["input"]["relative"], "lauf.jsonl");
        }
    }
    EXPECT_FALSE(fs::exists(tree_ / "a" / "lauf.rtf"));
}

// Several forms from one read give the bytes of separate runs; --keep-extension keeps
// same-stem files of one folder apart; -v names input and outputs, and why a file was passed.
TEST_F(ManifestTest, SeveralFormsInOnePassAndNamesThatKeepExtensions) {
    const fs::path brief = tree_ / "BRIEF.TXT";
    std::map<std::string, std::string> separate;
    for (const std::string form : {"rtf", "text", "html", "report"}) {
        ASSERT_EQ(Run({"--to", form, "-o", "-", brief}), 0);
        separate[form] = out_;
    }
    const fs::path out = folder_ / "aus";
    ASSERT_EQ(Run({"-v", "--to", "html,rtf,report,text", "-d", out, brief}), 0) << err_;
    EXPECT_EQ(ReadFile(out / "BRIEF.rtf"), separate["rtf"]);
    EXPECT_EQ(ReadFile(out / "BRIEF.utf8.txt"), separate["text"]);
    EXPECT_EQ(ReadFile(out / "BRIEF.html"), separate["html"]);
    EXPECT_EQ(ReadFile(out / "BRIEF.report.txt"), separate["report"]);
    // The document's status line, not the report's.
    EXPECT_EQ(err_, brief.string() + " -> " + (out / "BRIEF.html").string() + ", " +
                        (out / "BRIEF.rtf").string() + ", " + (out / "BRIEF.report.txt").string() +
                        ", " + (out / "BRIEF.utf8.txt").string() +
                        ": BRIEF.TXT   (8 Bytes)   Text ab 0\n");

    WriteFile(tree_ / "a" / "NOTIZ.TXT", "Andere Notiz\r\n\x1a");
    EXPECT_EQ(Run({"-r", "-v", "--keep-extension", tree_ / "a"}), 0) << err_;
    EXPECT_EQ(FilesBelow(tree_ / "a"),
              (Files{"NOTIZ.DOC", "NOTIZ.DOC.rtf", "NOTIZ.TXT", "NOTIZ.TXT.rtf"}));
    EXPECT_EQ(Run({"-r", "-v", tree_ / "a"}), 1);
    EXPECT_TRUE(Holds(err_, (tree_ / "a" / "NOTIZ.DOC.rtf").string() +
                                ": uebergangen (Ausgabe eines frueheren Laufs)\n"));
    EXPECT_TRUE(Holds(err_, "Die Ausgabedatei entsteht in diesem Lauf schon aus"));
    EXPECT_TRUE(Holds(err_, "Fertig: 1 Datei umgewandelt, 1 fehlgeschlagen, 2 uebergangen, "));
}

// Plausibility never changes a conversion; only --skip-non-documents passes over what is judged
// no document, and only in folders.
TEST_F(ManifestTest, FilesJudgedNoDocumentArePassedOverOnlyWhenAsked) {
    // A picture's compressed data looks like random bytes.
    std::string picture = "\x89PNG\r\n\x1a\n";
    std::uint32_t state = 1987;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        picture += static_cast<char>(state >> 24);
    }
    WriteFile(tree_ / "a" / "BILD.PNG", picture);
    const fs::path all = folder_ / "alle.jsonl", documents = folder_ / "dokumente.jsonl";
    ASSERT_EQ(Run({"-r", "--match", "*.PNG", "--manifest", all, tree_ / "a"}), 0) << err_;
    EXPECT_TRUE(fs::exists(tree_ / "a" / "BILD.rtf"));
    EXPECT_EQ(Lines(all)[0]["plausibility"]["verdict"], "not_a_document");
    fs::remove(tree_ / "a" / "BILD.rtf");

    ASSERT_EQ(Run({"-r", "-v", "--skip-non-documents", "--manifest", documents, tree_ / "a"}), 0);
    const std::vector<Json> records = Lines(documents);
    ASSERT_EQ(records.size(), 3u);
    ExpectFields(records[0], {{"outcome", "skipped"}, {"code", "not_plausible"}});
    EXPECT_FALSE(records[0]["plausibility"]["reasons"].empty());
    EXPECT_EQ(records[1]["outcome"], "converted");
    EXPECT_FALSE(fs::exists(tree_ / "a" / "BILD.rtf"));
    EXPECT_TRUE(Holds(err_, "BILD.PNG: uebergangen (kein Dokument: "));
}

#ifndef _WIN32
// A name that is not UTF-8 is kept byte for byte, and the check finds the file by it; quotes,
// backslashes and line feeds in a name are escaped, not taken for the record's own.
TEST_F(ManifestTest, NamesThatAreNotUnicodeAreRecordedLosslessly) {
    const fs::path odd = tree_ / "a" / "BRIEF\xff\xfe.TXT";
    const fs::path quoted = tree_ / "a" / "Zitat \"a\\b\"\n\x01.TXT";
    WriteFile(odd, SmallDocument);
    WriteFile(quoted, SmallDocument);
    const fs::path manifest = folder_ / "lauf.jsonl";
    ASSERT_EQ(Run({"--manifest", manifest, odd, quoted}), 0) << err_;
    const std::vector<Json> records = Lines(manifest);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1]["input"]["path"], quoted.string());
    EXPECT_FALSE(records[1]["input"].contains("path_hex"));
    const Json& record = records[0];
    EXPECT_EQ(record["input"]["path_hex"].get<std::string>().substr(0, 2), "2f");  // the '/'
    EXPECT_TRUE(record["input"]["path_hex"].get<std::string>().ends_with("4252494546fffe2e545854"));
    EXPECT_TRUE(record["outputs"][0].contains("path_hex"));
    EXPECT_EQ(Run({"--verify", manifest}), 0) << err_;
    fs::remove(tree_ / "a" / "BRIEF\xff\xfe.rtf");
    EXPECT_EQ(Run({"--verify", manifest, "-q"}), 1);
}
#endif

}  // namespace
}  // namespace brevikon
