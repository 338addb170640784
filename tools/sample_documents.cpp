// Large generated documents: many pages of German text in one of three kinds, filled up to
// an exact size, always the same bytes for the same kind and size.
#include "tools/sample_documents.h"

#include <algorithm>
#include <cstdio>

#include "format/document_format.h"
#include "tools/sample_writer.h"

namespace brevikon {

namespace {

// A fixed seed, so that measurements and tests see the same documents on every run.
constexpr std::uint64_t Seed = 0x42726576696B6F6EULL;

// splitmix64: tiny, fast and the same on every platform (unlike the std distributions).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in 0..n-1.
    int Below(int n) {
        return static_cast<int>(((Next() >> 32) * static_cast<std::uint64_t>(n)) >> 32);
    }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Percent(int percent) { return Below(100) < percent; }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<int>(N))];
    }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
    }

  private:
    std::uint64_t state_;
};

constexpr const char* Sentences[] = {
    "Die Überprüfung der Unterlagen hat ergeben, daß die Lieferung vollständig ist.",
    "Für die Änderungen im Entwurf danken wir Ihnen herzlich.",
    "Bitte senden Sie uns die Rechnung in zweifacher Ausfertigung zurück.",
    "Der Versand erfolgt wie üblich ab Werk; die Kosten trägt der Empfänger.",
    "Im Lager herrschte eine Temperatur von 18\u00A0°C bei 65\u00A0% Luftfeuchtigkeit.",
    "Nach Rücksprache mit der Geschäftsleitung können wir einen Rabatt von 3\u00A0% gewähren.",
    "Die Platte mißt 1½\u00A0m in der Länge und ¼\u00A0m in der Breite.",
    "Ölheizung und Warmwasserbereitung wurden im Frühjahr erneuert.",
    "Über die Höhe der Kosten läßt sich derzeit noch nichts Genaues sagen.",
    "Der Prüfbericht liegt <01>bis spätestens Ende des Monats</> vor.",
    "<02>Wichtig:</> Die Frist endet am 31. Dezember.",
    "Die Datei liegt unter C:\\TEXTE\\BERICHT.DOC auf der Festplatte.",
    "Der Zuschlag beträgt ±\u00A02\u00A0% je nach Menge.",
    "Die Fläche umfaßt 250\u00A0m² einschließlich der Nebenräume.",
    "Größere Stückzahlen liefern wir gern zu Sonderpreisen.",
    "Wir bitten um Verständnis für die Verzögerung.",
    "Die Sitzung wurde um 14.30 Uhr von Frau Dr. Köhler eröffnet.",
    "Laut Vertrag Nr.\u00A04711 ist die Zahlung innerhalb von 14 Tagen fällig.",
    "Der Fachausdruck «Blocksatz» bezeichnet gleich lange Zeilen.",
    "Die Meßwerte in µm sind in Tabelle\u00A03 zusammengefaßt.",
    "Schließlich möchten wir auf die geänderten Öffnungszeiten hinweisen.",
    "Die Menge {a, b} enthält die beiden Parameter der Messung.",
    "Der Rückgang um 1,5\u00A0% ist auf den strengen Winter zurückzuführen.",
    "Zur Übersicht dienen die folgenden Zahlen aus dem Geschäftsjahr 1987.",
    "Der Anteil von CO<08>2</> im Abgas ist weiter gesunken.",
    "Der Wert liegt bei 10<04>-3</> und damit im zulässigen Rahmen.",
    "Für Rückfragen steht Ihnen Herr Weiß gern zur Verfügung.",
    "Der Bericht wurde mit der <02>Brevikon PC Textverarbeitung</> erstellt.",
    "Äußerst erfreulich ist die Entwicklung im Süden des Landes.",
    "Die Übergabe der Schlüssel erfolgt am Montag um 9 Uhr.",
    "Gemäß Abschnitt 4.2 sind <03>alle Änderungen schriftlich</> mitzuteilen.",
    "Die Preise verstehen sich zuzüglich der gesetzlichen Mehrwertsteuer von 14\u00A0%.",
    "Sämtliche Geräte wurden vor der Auslieferung geprüft und für gut befunden.",
    "Die Verträge mit den Zulieferern aus Österreich und der Schweiz laufen Ende Juni aus.",
    "Eine Verlängerung um zwölf Monate ist vorgesehen, sofern die Qualität stimmt.",
    "Der Umsatz stieg gegenüber dem Vorjahr um <02>7,4\u00A0%</> auf 3,2 Millionen DM.",
};

constexpr const char* HeadingTitles[] = {
    "Überblick",         "Auftragslage",    "Meßergebnisse",     "Personal und Schulung",
    "Ausblick auf 1988", "Zusammenfassung", "Lieferbedingungen", "Qualitätssicherung",
};

constexpr const char* Articles[] = {
    "Sechskantschrauben", "Unterlegscheiben", "Dichtungsringe",   "Gewindestangen",
    "Flügelmuttern",      "Kabelbinder",      "Schlauchschellen",
};

// Only inside attribute escapes can the bytes 128, 141 and 160 be these letters.
constexpr const char* EscapeOnlyWords[] = {"<01>Ça</>", "<01>Málaga</>", "<01>così</>"};

// The corpus parsed once: each sentence as words, for the wrapping of large documents.
struct Corpus {
    std::vector<std::vector<TextWord>> sentences;
    std::vector<std::vector<std::uint8_t>> letterWords;    // letters of each word, for escapes
    std::vector<std::vector<std::string>> asciiSentences;  // transliterated, for plain text
};

// How a plain ASCII text of the time wrote the German letters.
struct Transliteration {
    std::uint8_t byte;
    const char* ascii;
};
constexpr Transliteration Transliterations[] = {
    {0x84, "ae"}, {0x94, "oe"}, {0x81, "ue"}, {0x8E, "Ae"},
    {0x99, "Oe"}, {0x9A, "Ue"}, {0xE1, "ss"},
};

// False for a character plain ASCII cannot show (a fixed space, a degree sign, ...).
bool AppendTransliterated(std::uint8_t byte, std::string& out) {
    if (byte > Space && byte < 127) {
        out += static_cast<char>(byte);
        return true;
    }
    for (const auto& entry : Transliterations) {
        if (entry.byte == byte) {
            out += entry.ascii;
            return true;
        }
    }
    return false;
}

std::vector<std::uint8_t> Letters(const TextWord& word) {
    std::vector<std::uint8_t> letters;
    for (const TextCell& cell : word.cells) {
        // Tabs, escaped blanks and fixed spaces are no letters; an escaped 128 is.
        const bool fixedSpace = cell.byte == AltSpace && cell.attribute == 0;
        if (cell.byte > Space && !fixedSpace) letters.push_back(cell.byte);
    }
    return letters;
}

// The words of a sentence that plain ASCII can show; the others are left out.
std::vector<std::string> AsciiWords(const std::vector<TextWord>& sentence) {
    std::vector<std::string> words;
    for (const TextWord& word : sentence) {
        std::string ascii;
        bool shown = true;
        for (const TextCell& cell : word.cells)
            shown = shown && AppendTransliterated(cell.byte, ascii);
        if (shown && !ascii.empty()) words.push_back(std::move(ascii));
    }
    return words;
}

const Corpus& SharedCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        for (const char* sentence : Sentences)
            c.sentences.push_back(ParseMarkup(sentence));
        for (const auto& sentence : c.sentences) {
            c.asciiSentences.push_back(AsciiWords(sentence));
            for (const TextWord& word : sentence) {
                if (auto letters = Letters(word); !letters.empty()) {
                    c.letterWords.push_back(std::move(letters));
                }
            }
        }
        for (const char* word : EscapeOnlyWords) {
            c.letterWords.push_back(Letters(ParseMarkup(word).front()));
        }
        return c;
    }();
    return corpus;
}

DocumentLayout LargeLayout(std::int64_t lastZero) {
    DocumentLayout layout;
    layout.headerLines = 3;
    layout.footerLines = 2;
    layout.headerText = "Brevikon Software GmbH · Geschäftsbericht";
    layout.footerText = "Seite #";
    layout.lastZero = lastZero;
    return layout;
}

// Writes blocks until the next one would pass the end; that block is taken back and kept,
// with a mark in front, as leftover behind the end marker up to exactly `size` bytes.
template <typename WriteBlock>
GeneratedDocument FillToSize(SampleWriter& writer, std::int64_t size, WriteBlock writeBlock) {
    writer.Reserve(size);
    while (true) {
        const SampleWriter::Mark mark = writer.mark();
        writeBlock();
        if (writer.size() < size) continue;  // one byte stays free for the end marker
        std::string leftover = std::string(LeftoverTextMark) + ' ' + writer.BytesSince(mark);
        writer.Rewind(mark);
        leftover.resize(static_cast<std::size_t>(size - writer.size() - 1), ' ');
        return writer.Finish(leftover);
    }
}

std::string Number(int value) {
    return std::to_string(value);
}

std::string Price(Random& random) {
    char text[16];
    std::snprintf(text, sizeof text, "%d,%02d", random.Between(1, 250), random.Below(100));
    return text;
}

GeneratedDocument BuildRealistic(std::int64_t size) {
    const Corpus& corpus = SharedCorpus();
    SampleWriter writer(LargeLayout(1280));
    Random random(Seed);
    writer.WriteParagraph("<12>GESCHÄFTSBERICHT 1987</>", {.firstIndent = 20});
    writer.WriteBlankLine();
    int chapter = 0;
    std::vector<const TextWord*> words;
    auto addSentence = [&] {
        for (const TextWord& word : random.Pick(corpus.sentences)) {
            words.push_back(&word);
        }
    };
    const std::vector<TextWord> dash = ParseMarkup("-");
    return FillToSize(writer, size, [&] {
        const int choice = random.Below(100);
        words.clear();
        if (choice < 6) {
            // A new chapter, on a new page every other time.
            if (choice < 3) writer.WritePageBreak();
            ++chapter;
            writer.WriteParagraph("<03>" + Number(chapter) + ". " + random.Pick(HeadingTitles) +
                                  "</>");
        } else if (choice < 14) {
            const int items = random.Between(2, 4);
            for (int k = 0; k < items; ++k) {
                words.assign(1, &dash.front());
                addSentence();
                if (random.Percent(50)) addSentence();
                writer.WriteParagraph(words, {.firstIndent = 2, .indent = 4});
            }
        } else if (choice < 19) {
            const int rows = random.Between(3, 6);
            for (int k = 0; k < rows; ++k) {
                writer.WriteParagraph(std::string(random.Pick(Articles)) + "\t" +
                                          Number(random.Between(10, 999)) + " Stück\t" +
                                          Price(random) + " DM",
                                      {.justify = false});
            }
        } else {
            const int sentences = random.Between(2, 7);
            for (int k = 0; k < sentences; ++k)
                addSentence();
            writer.WriteParagraph(words, {.firstIndent = random.Percent(20) ? 5 : 0});
        }
        writer.WriteBlankLine();
    });
}

GeneratedDocument BuildAttributes(std::int64_t size) {
    const Corpus& corpus = SharedCorpus();
    SampleWriter writer(LargeLayout(2047));
    Random random(Seed ^ 1);
    std::vector<TextWord> words;
    std::uint8_t attribute = Underline;
    auto newAttribute = [&] { attribute = static_cast<std::uint8_t>(random.Between(1, 255)); };
    writer.WriteParagraph("<12>ATTRIBUTE IM WECHSEL</>", {.firstIndent = 20});
    writer.WriteBlankLine();
    return FillToSize(writer, size, [&] {
        const int count = random.Between(20, 80);
        words.resize(static_cast<std::size_t>(count));
        for (TextWord& word : words) {
            if (random.Percent(40)) newAttribute();
            const auto& letters = random.Pick(corpus.letterWords);
            word.cells.clear();
            for (const std::uint8_t letter : letters) {
                if (random.Percent(10)) newAttribute();
                word.cells.push_back({letter, attribute});
            }
            word.width = static_cast<int>(letters.size());
            word.spacesBefore = 1;
        }
        // First lines indented with the space bar, as typists did.
        writer.WriteParagraph(words, {.firstIndent = 4});
        if (random.Percent(30)) writer.WriteBlankLine();
        if (random.Percent(2)) writer.WritePageBreak();
    });
}

GeneratedDocument BuildPlain(std::int64_t size) {
    const Corpus& corpus = SharedCorpus();
    SampleWriter writer(LargeLayout(2900));
    Random random(Seed ^ 2);
    std::string line;
    writer.WriteHardLine("GESCHAEFTSBERICHT 1987");
    writer.WriteBlankLine();
    // Lines ended by hand with the return key, each paragraph to its own width.
    return FillToSize(writer, size, [&] {
        const std::size_t width = static_cast<std::size_t>(random.Between(50, 65));
        const int sentences = random.Between(2, 6);
        line.clear();
        for (int k = 0; k < sentences; ++k) {
            for (const std::string& word : random.Pick(corpus.asciiSentences)) {
                if (!line.empty() && line.size() + 1 + word.size() > width) {
                    writer.WriteHardLine(line);
                    line.clear();
                }
                if (!line.empty()) line += ' ';
                line += word;
            }
        }
        if (!line.empty()) writer.WriteHardLine(line);
        writer.WriteBlankLine();
    });
}

}  // namespace

GeneratedDocument BuildLargeDocument(SampleKind kind, std::int64_t size) {
    size = std::clamp(size, LargeDocumentMinSize, LargeDocumentMaxSize);
    switch (kind) {
        case SampleKind::Attributes:
            return BuildAttributes(size);
        case SampleKind::Plain:
            return BuildPlain(size);
        case SampleKind::Realistic:
            break;
    }
    return BuildRealistic(size);
}

bool ParseSampleKind(std::string_view name, SampleKind& kind) {
    if (name == "realistic") {
        kind = SampleKind::Realistic;
    } else if (name == "attributes") {
        kind = SampleKind::Attributes;
    } else if (name == "plain") {
        kind = SampleKind::Plain;
    } else {
        return false;
    }
    return true;
}

}  // namespace brevikon
