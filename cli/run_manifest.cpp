#include "cli/run_manifest.h"

#include <ctime>

#include "base/text.h"
#include "base/version.h"
#include "fixity/utc_time.h"

namespace brevikon {

namespace {

// The native form's units as hex: bytes, or UTF-16LE code units on Windows.
std::string HexOfUnits(const NativeString& path) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (const auto unit : path) {
        const auto value = static_cast<std::make_unsigned_t<NativeString::value_type>>(unit);
        for (std::size_t byte = 0; byte < sizeof value; ++byte) {
            const unsigned bits = (value >> (8 * byte)) & 0xFF;
            hex += Digits[bits >> 4];
            hex += Digits[bits & 15];
        }
    }
    return hex;
}

bool FromHex(const std::string& hex, NativeString& path) {
    constexpr std::size_t UnitDigits = 2 * sizeof(NativeString::value_type);
    if (hex.size() % UnitDigits != 0) return false;
    path.clear();
    for (std::size_t at = 0; at < hex.size(); at += UnitDigits) {
        std::make_unsigned_t<NativeString::value_type> unit = 0;
        for (std::size_t byte = 0; byte < UnitDigits / 2; ++byte) {
            unsigned bits = 0;
            for (std::size_t digit = 0; digit < 2; ++digit) {
                const char c = hex[at + 2 * byte + digit];
                const int value = c >= '0' && c <= '9'   ? c - '0'
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                         : -1;
                if (value < 0) return false;
                bits = bits * 16 + static_cast<unsigned>(value);
            }
            unit = static_cast<decltype(unit)>(unit | (bits << (8 * byte)));
        }
        path += static_cast<NativeString::value_type>(unit);
    }
    return true;
}

std::string Text(std::u16string_view text) {
    return ValidUtf8(Utf16ToUtf8(text));
}

void AddTool(JsonLine& line, const ConverterOptions& options) {
    line.Key("tool").Object().Key("name").String("brevikon-rtf");
    line.Key("version").String(BREVIKON_VERSION).End();
    line.Key("font_mode")
        .String(options.fontMode == FontMode::Proportional ? "proportional" : "monospace");
    line.Key("reflow").Bool(options.reflow);
}

std::string_view OutcomeName(JobOutcome outcome) {
    switch (outcome) {
        case JobOutcome::Failed:
            return "failed";
        case JobOutcome::Skipped:
            return "skipped";
        default:
            return "converted";
    }
}

// Uses of each attribute bit, summed over the attribute bytes that carry it.
void AddAttributeBits(JsonLine& line, const TextCounts& counts) {
    static constexpr std::pair<std::uint8_t, const char*> Bits[] = {
        {Underline, "underline"}, {Bold, "bold"},   {Superscript, "superscript"},
        {Subscript, "subscript"}, {Wide, "wide"},   {Bit20, "bit20"},
        {Narrow, "narrow"},       {Bit80, "bit80"},
    };
    std::int64_t uses[8] = {};
    for (int attribute = 1; attribute < 256; ++attribute) {
        if (counts.attributeCounts[attribute] == 0) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (attribute & Bits[bit].first) uses[bit] += counts.attributeCounts[attribute];
        }
    }
    line.Key("attribute_bits").Object();
    for (int bit = 0; bit < 8; ++bit)
        line.Key(Bits[bit].second).Number(uses[bit]);
    line.End();
}

void AddAnalysis(JsonLine& line, const DocumentFacts& facts) {
    line.Key("analysis").Object();
    line.Key("text_start").Number(facts.textStart);
    line.Key("text_start_rule").String(TextStartRuleName(facts.textStartRule));
    line.Key("header");
    if (facts.hasHeader) {
        const DocumentHeader& h = facts.header;
        line.Object().Key("identifier").Array();
        line.Number(h.identifier[0]).Number(h.identifier[1]).End();
        line.Key("right_margin").Number(h.rightMargin);
        line.Key("page_length").Number(h.pageLength);
        line.Key("chars_per_inch").Number(h.charsPerInch);
        line.Key("line_spacing").Number(h.lineSpacing);
        line.Key("header_lines").Number(h.headerLines);
        line.Key("footer_lines").Number(h.footerLines).End();
    } else {
        line.Null();
    }
    line.Key("hard_breaks").Number(facts.counts.hardBreaks);
    line.Key("soft_breaks").Number(facts.counts.softBreaks);
    line.Key("soft_spaces").Number(facts.counts.softSpaces);
    line.Key("attribute_escapes").Number(facts.counts.attributeEscapes);
    line.Key("incomplete_escapes").Number(facts.incompleteEscapes);
    AddAttributeBits(line, facts.counts);
    line.Key("unknown_control_codes").Number(facts.unknownControlCodes);
    line.Key("end_marker").Bool(facts.endMarkerFound);
    if (facts.endMarkerFound) {
        line.Key("end_marker_offset").Number(facts.endMarkerOffset);
        line.Key("bytes_after_end_marker").Number(facts.bytesAfterEndMarker);
    }
    line.End();
}

void AddPlausibility(JsonLine& line, const Plausibility& plausibility) {
    line.Key("plausibility").Object().Key("verdict").String(VerdictName(plausibility.verdict));
    line.Key("reasons").Array();
    for (const PlausibilityReason& reason : plausibility.reasons) {
        line.Object().Key("code").String(reason.code);
        line.Key("text").String(Text(reason.text)).End();
    }
    line.End().End();
}

}  // namespace

void AddPathFields(JsonLine& line, std::string_view key, const NativeString& path) {
#ifdef _WIN32
    const std::string units = Utf16ToUtf8(NativeToUtf16(path));
#else
    const std::string& units = path;
#endif
    const bool exact = IsValidUtf8(units);
    line.Key(key).String(exact ? units : ValidUtf8(units));
    if (!exact) line.Key(std::string(key) + "_hex").String(HexOfUnits(path));
}

std::optional<NativeString> PathFromFields(const nlohmann::json& object, const std::string& key) {
    const auto hex = object.find(key + "_hex");
    if (hex != object.end()) {
        NativeString path;
        if (!hex->is_string() || !FromHex(hex->get<std::string>(), path)) return std::nullopt;
        return path;
    }
    const auto text = object.find(key);
    if (text == object.end() || !text->is_string()) return std::nullopt;
    return Utf16ToNative(Utf8ToUtf16(text->get<std::string>()));
}

std::string UtcText(std::chrono::system_clock::time_point time) {
    return UtcTimeText(
        std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count());
}

std::string FileRecordLine(std::size_t index, const ConversionJob& job, const JobResult& result,
                           const ConverterOptions& options) {
    JsonLine line;
    line.Key("record").String("file");
    line.Key("index").Number(static_cast<std::int64_t>(index));
    line.Key("input").Object();
    AddPathFields(line, "path", job.input);
    if (job.walked) AddPathFields(line, "relative", job.belowFolder);
    if (result.inputRead) {
        line.Key("size").Number(result.inputBytes);
        line.Key("modified").String(UtcTimeText(result.inputModified.seconds));
        if (!result.inputSha256.empty()) line.Key("sha256").String(result.inputSha256);
    }
    line.End();
    line.Key("outcome").String(OutcomeName(result.outcome));
    if (result.outcome != JobOutcome::Converted) {
        line.Key("code").String(result.code);
        line.Key("message").String(Text(result.message));
    }
    line.Key("outputs").Array();
    for (const WrittenOutput& written : result.written) {
        line.Object().Key("form").String(FormOf(written.format).name);
        if (written.target.empty()) {
            line.Key("path").String("-");
        } else {
            AddPathFields(line, "path", written.target);
        }
        line.Key("size").Number(written.size);
        line.Key("sha256").String(written.sha256).End();
    }
    line.End();
    if (result.facts) {
        AddAnalysis(line, *result.facts);
        AddPlausibility(line, result.plausibility);
    }
    AddTool(line, options);
    line.Key("started").String(UtcText(result.started));
    line.Key("ended").String(UtcText(result.ended));
    return line.Finish();
}

std::string SummaryRecordLine(const RunCounts& counts, const ConverterOptions& options,
                              std::chrono::system_clock::time_point started,
                              std::chrono::system_clock::time_point ended) {
    JsonLine line;
    line.Key("record").String("summary");
    line.Key("files").Number(counts.converted + counts.failed + counts.skipped);
    line.Key("converted").Number(counts.converted);
    line.Key("failed").Number(counts.failed);
    line.Key("skipped").Number(counts.skipped);
    line.Key("forms").Array();
    for (const OutputFormat format : options.formats)
        line.String(FormOf(format).name);
    line.End();
    AddTool(line, options);
    line.Key("started").String(UtcText(started));
    line.Key("ended").String(UtcText(ended));
    return line.Finish();
}

bool ManifestSink::Open(const NativeString& path, std::FILE* out, std::u16string& failure) {
    path_ = path;
    if (path == NativeString(1, '-')) {
        stream_ = out;
        return true;
    }
    int error = 0;
    if (file_.Create(path, error)) return true;
    failure = u"Das Protokoll kann nicht angelegt werden: " + PathForMessage(path) + u" (" +
              SystemErrorText(error) + u"; ein bestehendes wird nie ersetzt)";
    return false;
}

void ManifestSink::Write(const std::string& line) {
    if (!failure_.empty()) return;  // after a lost line, later ones would mislead
    const std::string whole = line + "\n";
    int error = 0;
    bool written;
    if (stream_) {
        written = std::fwrite(whole.data(), 1, whole.size(), stream_) == whole.size() &&
                  std::fflush(stream_) == 0;
    } else {
        written = file_.Append(whole, error);
    }
    if (!written) {
        failure_ = u"Das Protokoll konnte nicht weitergeschrieben werden: " +
                   (stream_ ? std::u16string(u"Standardausgabe") : PathForMessage(path_));
        if (error != 0) failure_ += u" (" + SystemErrorText(error) + u")";
    }
}

}  // namespace brevikon
