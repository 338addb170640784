#include "cli/converter_options.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

namespace brevikon {

namespace {

// Wraps items after a lead, each line at most LineWidth wide, continued at the lead's width.
std::string Wrapped(std::string_view lead, const std::vector<std::string>& items) {
    constexpr std::size_t LineWidth = 80;
    std::string text(lead), line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = items[i] + (i + 1 < items.size() ? "," : "");
        if (!line.empty() && lead.size() + line.size() + 1 + item.size() > LineWidth) {
            text += line + "\n" + std::string(lead.size(), ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + item;
    }
    return text + line + "\n";
}

}  // namespace

std::string ConverterUsage() {
    std::vector<std::string> forms, otherNames;
    for (const OutputForm& form : OutputForms()) {
        forms.push_back(std::string(form.name) + " (" + std::string(form.description) +
                        (form.available ? ")" : ", nicht in dieser Ausgabe)"));
        if (form.format != OutputFormat::Rtf) {
            otherNames.push_back(std::string(form.name) + ": " + std::string(form.extension));
        }
    }
    std::string lastNames;
    for (std::size_t i = 0; i < otherNames.size(); ++i)
        lastNames += (i ? ", " : "") + otherNames[i];
    return "Aufruf: brevikon-rtf [OPTIONEN] DATEI...\n"
           "       brevikon-rtf --verify PROTOKOLL\n"
           "Wandelt Dokumente der Brevikon PC Textverarbeitung 1.2 um.\n"
           "\n" +
           Wrapped("  --to FORM[,FORM...]  ", forms) +
           "  -p, --proportional   Proportionalschrift (Times New Roman) statt Courier New\n"
           "      --reflow         Text ohne die Fuellzeichen des Blocksatzes, wie ihn odt\n"
           "                       und docx immer haben (nur mit --to text)\n"
           "  -o, --output PFAD    Ausgabedatei (nur bei einer DATEI und einer FORM);\n"
           "                       - fuer die Standardausgabe\n"
           "  -d, --output-dir ORDNER\n"
           "                       Ausgabe mit den Vorgabenamen im Ordner ORDNER\n"
           "      --keep-extension die Endung der DATEI im Namen behalten\n"
           "                       (BRIEF.DOC gibt BRIEF.DOC.rtf statt BRIEF.rtf)\n"
           "  -r, --recursive      DATEI darf ein Ordner sein: alle Dateien darin und darunter\n"
           "      --match MUSTER   mit -r aus den Ordnern nur Dateien, deren Name auf MUSTER\n"
           "                       passt (* und ?, gross/klein gleich; mehrfach erlaubt:\n"
           "                       eines muss passen)\n"
           "      --skip-non-documents\n"
           "                       mit -r Dateien uebergehen, die kein Dokument sein koennen\n"
           "      --manifest PROTOKOLL\n"
           "                       jede DATEI als JSON-Zeile mit Pruefsummen (SHA-256) in der\n"
           "                       neuen Datei PROTOKOLL festhalten; - fuer die Standardausgabe\n"
           "      --verify PROTOKOLL\n"
           "                       die Eingaben und Ausgaben eines PROTOKOLLs neu lesen und\n"
           "                       mit ihren Pruefsummen vergleichen\n"
           "  -j, --jobs N         N Dateien zugleich umwandeln (Vorgabe: Zahl der Prozessoren)\n"
           "      --memory-budget MIB\n"
           "                       die Dokumente aller zugleich umgewandelten Dateien belegen\n"
           "                       hoechstens MIB MiB; weitere warten (Vorgabe: ein Viertel\n"
           "                       des Hauptspeichers)\n"
           "  -v, --verbose        je Datei eine Zeile: Eingabe, Ausgabe und Statuszeile, bei\n"
           "                       uebergangenen Dateien der Grund\n"
           "  -q, --quiet          nur Fehler ausgeben\n"
           "  -h, --help           diese Hilfe\n"
           "  -V, --version        Version\n"
           "\n"
           "Vorgabename der Ausgabe: Ordner und Name der DATEI mit " +
           std::string(FormOf(OutputFormat::Rtf).extension) + " statt ihrer Endung\n(" + lastNames +
           ").\n"
           "Mit -r wird jeder Ordner nach Namen sortiert durchgegangen; Dateien, deren Name\n"
           "auf eine dieser Endungen endet (gross/klein gleich), werden als fruehere\n"
           "Ausgaben uebergangen. Die Ausgabe liegt neben der Eingabe, mit -d ORDNER im\n"
           "selben Unterordner unter ORDNER. Verknuepfungen auf Ordner werden nicht verfolgt,\n"
           "Verknuepfungen auf Dateien nur, wenn ihr Ziel im Ordner liegt.\n"
           "Exit-Status: 0 alles umgewandelt (oder geprueft und gleich), 1 mindestens eine\n"
           "Datei fehlgeschlagen (oder fehlend oder veraendert), 2 falscher Aufruf.\n";
}

namespace {

// More workers than this only cost memory: each keeps its own tables, buffers and stack.
constexpr int MaxJobs = 256;

// A worker count from 1 to MaxJobs, in decimal digits only.
bool ParseJobs(const NativeString& text, int& jobs) {
    if (text.empty() || text.size() > 3) return false;
    int value = 0;
    for (const auto c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<int>(c - '0');
    }
    if (value < 1 || value > MaxJobs) return false;
    jobs = value;
    return true;
}

// At most a tebibyte: more is no budget at all.
constexpr std::uint64_t MaxBudgetMiB = 1 << 20;

// MiB from 1 to MaxBudgetMiB, in decimal digits only.
bool ParseBudget(const NativeString& text, std::uint64_t& mib) {
    if (text.empty() || text.size() > 7) return false;
    std::uint64_t value = 0;
    for (const auto c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value < 1 || value > MaxBudgetMiB) return false;
    mib = value;
    return true;
}

std::string Narrow(const NativeString& text) {
    std::string narrow;
    for (const auto c : text) {
        const auto unit = static_cast<std::make_unsigned_t<NativeString::value_type>>(c);
        narrow += (unit > 0 && unit < 128) ? static_cast<char>(unit) : '?';
    }
    return narrow;
}

bool Is(const NativeString& argument, std::string_view ascii) {
    if (argument.size() != ascii.size()) return false;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        if (argument[i] != static_cast<NativeString::value_type>(ascii[i])) return false;
    }
    return true;
}

// "--name=value" gives value; anything else gives nothing.
std::optional<NativeString> InlineValue(const NativeString& argument, std::string_view name) {
    if (argument.size() <= name.size() + 1) return std::nullopt;
    if (!Is(argument.substr(0, name.size()), name)) return std::nullopt;
    if (argument[name.size()] != '=') return std::nullopt;
    return argument.substr(name.size() + 1);
}

}  // namespace

std::vector<std::string_view> OutputEndings() {
    std::vector<std::string_view> endings;
    for (const OutputForm& form : OutputForms()) {
        if (std::find(endings.begin(), endings.end(), form.extension) == endings.end()) {
            endings.push_back(form.extension);
        }
    }
    return endings;
}

namespace {

using OptionError = std::string;  // empty when the option was taken

// One row per option: its names, whether it takes a value (from "--name=value", the next
// argument, or with attachedValue also "-j4" as make takes it), and what it does.
struct OptionRow {
    std::string_view shortName;  // empty when there is none
    std::string_view longName;
    bool takesValue;
    bool attachedValue;
    OptionError (*apply)(ConverterOptions& options, const NativeString& value);
};

// --to rtf,text,html: every form once, and no two forms whose outputs share a name.
OptionError ParseForms(ConverterOptions& options, const NativeString& value) {
    options.formats.clear();
    const std::string list = Narrow(value);
    for (std::size_t start = 0, end; start <= list.size(); start = end + 1) {
        end = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, end - start);
        const std::optional<OutputFormat> format = FormatNamed(name);
        if (!format) return "Unbekanntes Format: " + (name.empty() ? list : name);
        if (!FormOf(*format).available) {
            return "--to " + name +
                   ": Diese Ausgabe von brevikon-rtf schreibt diese Form nicht (ihre "
                   "Schriften gibt es hier nicht); brevikon-rtf unter Linux schreibt sie.";
        }
        for (const OutputFormat earlier : options.formats) {
            if (FormOf(earlier).extension == FormOf(*format).extension) {
                return "--to: " + std::string(FormOf(earlier).name) + " und " + name +
                       " ergeben beide " + std::string(FormOf(*format).extension) + ".";
            }
        }
        options.formats.push_back(*format);
    }
    return {};
}

template <bool ConverterOptions::*Field>
OptionError SetFlag(ConverterOptions& options, const NativeString&) {
    options.*Field = true;
    return {};
}

constexpr OptionRow OptionRows[] = {
    {"-p", "--proportional", false, false,
     [](ConverterOptions& o, const NativeString&) {
         o.fontMode = FontMode::Proportional;
         return OptionError();
     }},
    {"", "--reflow", false, false, &SetFlag<&ConverterOptions::reflow>},
    {"-v", "--verbose", false, false, &SetFlag<&ConverterOptions::verbose>},
    {"-q", "--quiet", false, false, &SetFlag<&ConverterOptions::quiet>},
    {"-r", "--recursive", false, false, &SetFlag<&ConverterOptions::recursive>},
    {"", "--match", true, false,
     [](ConverterOptions& o, const NativeString& value) {
         o.patterns.push_back(value);
         return OptionError();
     }},
    {"-j", "--jobs", true, true,
     [](ConverterOptions& o, const NativeString& value) {
         if (ParseJobs(value, o.jobs)) return OptionError();
         return "-j braucht eine Zahl von 1 bis " + std::to_string(MaxJobs) + ": " + Narrow(value);
     }},
    {"", "--memory-budget", true, false,
     [](ConverterOptions& o, const NativeString& value) {
         if (ParseBudget(value, o.imageBudgetMiB)) return OptionError();
         return "--memory-budget braucht eine Zahl (MiB) von 1 bis " +
                std::to_string(MaxBudgetMiB) + ": " + Narrow(value);
     }},
    {"-h", "--help", false, false, &SetFlag<&ConverterOptions::help>},
    {"-V", "--version", false, false, &SetFlag<&ConverterOptions::version>},
    {"", "--to", true, false, &ParseForms},
    {"", "--keep-extension", false, false, &SetFlag<&ConverterOptions::keepExtension>},
    {"", "--skip-non-documents", false, false, &SetFlag<&ConverterOptions::skipNonDocuments>},
    {"", "--manifest", true, false,
     [](ConverterOptions& o, const NativeString& value) {
         o.manifest = value;
         return OptionError();
     }},
    {"", "--verify", true, false,
     [](ConverterOptions& o, const NativeString& value) {
         o.verify = value;
         return OptionError();
     }},
    {"-o", "--output", true, false,
     [](ConverterOptions& o, const NativeString& value) {
         o.output = value;
         return OptionError();
     }},
    {"-d", "--output-dir", true, false,
     [](ConverterOptions& o, const NativeString& value) {
         o.outputDir = value;
         return OptionError();
     }},
};

// The row an argument names, and its value where the argument itself holds one.
const OptionRow* FindOption(const NativeString& argument, std::optional<NativeString>& value) {
    for (const OptionRow& row : OptionRows) {
        if ((!row.shortName.empty() && Is(argument, row.shortName)) || Is(argument, row.longName)) {
            return &row;
        }
        if (!row.takesValue) continue;
        if ((value = InlineValue(argument, row.longName))) return &row;
        if (row.attachedValue && argument.size() > row.shortName.size() &&
            Is(argument.substr(0, row.shortName.size()), row.shortName)) {
            value = argument.substr(row.shortName.size());
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

bool OutputGoesToStream(const ConverterOptions& options) {
    if (options.output) return *options.output == NativeString(1, '-');
    return options.formats.size() == 1 && options.formats[0] == OutputFormat::Report &&
           !options.outputDir;
}

namespace {

bool IsDash(const std::optional<NativeString>& path) {
    return path && Is(*path, "-");
}

// What the options cannot mean together; empty when they fit.
std::string OptionConflict(const ConverterOptions& options) {
    if (options.verify) {
        if (options.verify->empty()) return "--verify braucht einen Pfad.";
        if (!options.files.empty()) return "--verify prueft ein Protokoll und nimmt keine DATEI.";
        if (IsDash(options.manifest)) return "--manifest - geht nicht mit --verify.";
        if (options.manifest && options.manifest->empty()) return "--manifest braucht einen Pfad.";
        return {};
    }
    if (options.files.empty()) return "Keine DATEI angegeben.";
    if (options.output && options.outputDir) return "-o und -d schliessen einander aus.";
    if (options.output && options.files.size() > 1) return "-o geht nur mit einer einzigen DATEI.";
    if (options.output && options.formats.size() > 1)
        return "-o geht nur mit einer FORM; mehrere gehen mit -d oder neben die DATEI.";
    if (options.output && options.output->empty()) return "-o braucht einen Pfad.";
    if (options.outputDir && options.outputDir->empty()) return "-d braucht einen Pfad.";
    if (options.output && options.recursive)
        return "-o geht nicht mit -r: ein Ordner gibt mehrere Ausgaben.";
    if (!options.patterns.empty() && !options.recursive)
        return "--match gilt fuer Dateien in Ordnern und geht nur mit -r.";
    if (options.reflow && std::find(options.formats.begin(), options.formats.end(),
                                    OutputFormat::Text) == options.formats.end())
        return "--reflow gilt fuer die Textform und geht nur mit --to text.";
    if (options.skipNonDocuments && !options.recursive)
        return "--skip-non-documents gilt fuer Dateien in Ordnern und geht nur mit -r.";
    if (options.manifest && options.manifest->empty()) return "--manifest braucht einen Pfad.";
    if (IsDash(options.manifest) && OutputGoesToStream(options))
        return "--manifest - geht nicht, wenn die Ausgabe zur Standardausgabe geht.";
    return {};
}

}  // namespace

ParsedArguments ParseConverterArguments(const std::vector<NativeString>& arguments) {
    ParsedArguments parsed;
    ConverterOptions& options = parsed.options;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const NativeString& argument = arguments[i];
        if (onlyFiles || argument.empty() || argument[0] != '-' || Is(argument, "-")) {
            options.files.push_back(argument);
            continue;
        }
        if (Is(argument, "--")) {
            onlyFiles = true;
            continue;
        }
        std::optional<NativeString> value;
        const OptionRow* row = FindOption(argument, value);
        if (!row) {
            parsed.usageError = "Unbekannte Option: " + Narrow(argument);
            return parsed;
        }
        if (row->takesValue && !value) {
            if (i + 1 >= arguments.size()) {
                parsed.usageError = "Option " + Narrow(argument) + " braucht einen Wert.";
                return parsed;
            }
            value = arguments[++i];
        }
        parsed.usageError = row->apply(options, value.value_or(NativeString()));
        if (!parsed.usageError.empty()) return parsed;
    }

    if (options.help || options.version) return parsed;
    parsed.usageError = OptionConflict(options);
    return parsed;
}

}  // namespace brevikon
