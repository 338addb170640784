// The small documents bundled in samples/: a letter, a report, an attribute showcase, a memo
// in the old short layout and a note without any header.
#include "format/document_format.h"
#include "tools/sample_writer.h"

namespace brevikon {

namespace {

// DOS wrote files in records of 128 bytes; the editor leaves whatever stood there before.
constexpr std::int64_t RecordLength = 128;

std::string LeftoverToRecordEnd(std::int64_t textEnd, std::string_view earlierText) {
    const std::int64_t used = textEnd + 1;  // with the end marker
    const std::int64_t missing = (RecordLength - used % RecordLength) % RecordLength;
    std::string leftover;
    while (static_cast<std::int64_t>(leftover.size()) < missing)
        leftover += earlierText;
    leftover.resize(static_cast<std::size_t>(missing));
    return leftover;
}

GeneratedDocument BuildLetter() {
    DocumentLayout layout;
    layout.footerLines = 1;
    layout.footerText = "Brevikon Software GmbH · Hannover";
    layout.lastZero = 678;  // text at 759, the usual place
    SampleWriter writer(layout);
    const ParagraphStyle ragged{.justify = false};
    writer.WriteParagraph("Brevikon Software GmbH · Hauptstraße 12 · 3000 Hannover 1");
    writer.WriteBlankLine();
    writer.WriteParagraph("Firma");
    writer.WriteParagraph("Müller & Söhne KG");
    writer.WriteParagraph("Herrn Jürgen Weiß");
    writer.WriteParagraph("Lindenallee 7");
    writer.WriteParagraph("8000 München 40");
    writer.WriteBlankLine();
    writer.WriteParagraph("\t\t\t\tHannover, den 14. März 1988");
    writer.WriteBlankLine();
    writer.WriteParagraph("<02>Ihre Bestellung Nr.\u00A04711 vom 2. März 1988</>");
    writer.WriteBlankLine();
    writer.WriteParagraph("Sehr geehrter Herr Weiß,");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "vielen Dank für Ihre Bestellung vom 2. März 1988, die wir heute erhalten haben. Die "
        "bestellten Artikel sind bis auf die Dichtungsringe sämtlich am Lager und werden Ihnen in "
        "den nächsten Tagen zugestellt. Die Dichtungsringe erwarten wir Anfang April von unserem "
        "Zulieferer aus Österreich; wir liefern sie dann ohne weitere Versandkosten nach.");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Bitte beachten Sie, daß sich unsere Preise <01>ab dem 1. April 1988 um durchschnittlich "
        "2,5\u00A0% erhöhen</>. Die neue Preisliste liegt diesem Schreiben bei. Für Bestellungen, "
        "die uns bis Ende März erreichen, gelten selbstverständlich noch die alten Preise.");
    writer.WriteBlankLine();
    writer.WriteParagraph("Sechskantschrauben M6\t500 Stück\t12,50 DM", ragged);
    writer.WriteParagraph("Unterlegscheiben\t500 Stück\t4,80 DM", ragged);
    writer.WriteParagraph("Dichtungsringe ½\"\t200 Stück\t31,00 DM", ragged);
    writer.WriteBlankLine();
    writer.WriteParagraph("Für Rückfragen stehe ich Ihnen gern zur Verfügung.");
    writer.WriteBlankLine();
    writer.WriteParagraph("Mit freundlichen Grüßen");
    writer.WriteBlankLine();
    writer.WriteBlankLine();
    writer.WriteParagraph("Ernst Übelacker");
    writer.WriteParagraph("Vertrieb");
    writer.WriteBlankLine();
    writer.WriteParagraph("Anlage: Preisliste 1988");
    const std::string leftover = LeftoverToRecordEnd(
        writer.size(), "ALTFASSUNG: Sehr geehrte Damen und Herren, wir bestaetigen den Eingang ");
    return writer.Finish(leftover);
}

GeneratedDocument BuildReport() {
    DocumentLayout layout;
    layout.lineSpacing = 2;
    layout.headerLines = 3;
    layout.footerLines = 2;
    layout.headerText = "Jahresbericht 1987 · Abteilung Technik";
    layout.footerText = "Seite #";
    layout.lastZero = 1000;  // a longer format block: text at 1081
    SampleWriter writer(layout);
    const ParagraphStyle ragged{.justify = false};
    const ParagraphStyle listItem{.firstIndent = 2, .indent = 4};
    writer.WriteParagraph("<12>JAHRESBERICHT 1987</>", {.firstIndent = 23});
    writer.WriteParagraph("Abteilung Technik", {.firstIndent = 24});
    writer.WriteBlankLine();
    writer.WriteParagraph("<03>1. Überblick</>");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Das Geschäftsjahr 1987 stand im Zeichen der Modernisierung. Größere Investitionen "
        "flossen in die Haustechnik und in die Meßeinrichtungen der Prüfhalle. Die Fläche der "
        "neuen Halle umfaßt 250\u00A0m² einschließlich der Nebenräume; die Temperatur wird dort "
        "ständig auf 18\u00A0°C ± 0,5\u00A0K gehalten.");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "- Erneuerung der Ölheizung im Verwaltungsgebäude; die Arbeiten wurden im Oktober "
        "abgeschlossen und haben sich im ersten Winter bereits bewährt.",
        listItem);
    writer.WriteParagraph(
        "- Anschaffung eines zweiten Meßplatzes für die Eingangsprüfung der Zulieferteile.",
        listItem);
    writer.WriteBlankLine();
    writer.WritePageBreak();
    writer.WriteParagraph("<03>2. Meßwerte</>");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Die folgende Übersicht zeigt die Monatsmittel und Spitzenwerte der Hallentemperatur. "
        "Im Juli wurde der zulässige Höchstwert an drei Tagen überschritten.");
    writer.WriteBlankLine();
    writer.WriteParagraph("┌──────────────┬──────────┬──────────┐", ragged);
    writer.WriteParagraph("│ Monat        │ Mittel   │ Spitze   │", ragged);
    writer.WriteParagraph("├──────────────┼──────────┼──────────┤", ragged);
    writer.WriteParagraph("│ Januar       │ 18,5 °C  │ 21,0 °C  │", ragged);
    writer.WriteParagraph("│ Juli         │ 24,0 °C  │ 29,5 °C  │", ragged);
    writer.WriteParagraph("└──────────────┴──────────┴──────────┘", ragged);
    writer.WriteBlankLine();
    writer.WriteParagraph("Meßstelle\tMittel\tAbweichung", ragged);
    writer.WriteParagraph("Halle 1\t18,5 °C\t± 0,5 K", ragged);
    writer.WriteParagraph("Halle 2\t19,0 °C\t± 1,0 K", ragged);
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Die Rohdaten liegen in der Datei C:\\MESSUNG\\1987\\WERTE.DAT. Die Schwankungsbreite "
        "berechnet sich nach {T<08>max</> - T<08>min</>} / 2 und lag im Mittel bei 1,2\u00A0K.");
    writer.WriteBlankLine();
    // The page break typed at the end of the line, without a hard break before it.
    writer.WriteParagraph("Weitere Einzelheiten folgen im nächsten Abschnitt.",
                          {.hardBreak = false});
    writer.WritePageBreak();
    writer.WriteParagraph("<03>3. Ausblick</>");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Für 1988 ist die Messung des Wasserstoffs H<08>2</> in der Prüfkammer vorgesehen; die "
        "Nachweisgrenze des neuen Geräts liegt bei 10<04>-3</>\u00A0Vol.-% und einer Auflösung "
        "von 5\u00A0µm. Äußerst erfreulich ist, daß die Kosten im Rahmen des Plans bleiben.");
    writer.WriteBlankLine();
    writer.WriteParagraph("Hannover, im Januar 1988");
    return writer.Finish();
}

GeneratedDocument BuildAttributeShowcase() {
    DocumentLayout layout;
    layout.lastZero = 500;  // text at 581
    SampleWriter writer(layout);
    const ParagraphStyle ragged{.justify = false};
    writer.WriteParagraph("<12>ZEICHENATTRIBUTE</>", {.firstIndent = 24});
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Jedes Zeichen mit Attributen steht in einer eigenen Folge aus vier Bytes: ESC, S, das "
        "Attribut und das Zeichen selbst.");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Unterstrichen: <01>dieser ganze Satz ist unterstrichen, auch über das Zeilenende "
        "hinaus, denn er ist lang genug für einen weichen Umbruch</>.");
    writer.WriteParagraph("Fett: <02>fett gedruckt</>, dann wieder normal.");
    writer.WriteParagraph(
        "Hochgestellt: E = mc<04>2</>, 10<04>-3</>; tiefgestellt: H<08>2</>O und CO<08>2</>.");
    writer.WriteParagraph(
        "Breit: <10>BREIT</>; schmal: <40>schmal gedruckt</>; gesperrt: <20>gesperrt</>.");
    writer.WriteParagraph(
        "Kombiniert: <03>fett und unterstrichen</>, <0C>hoch und tief</> (hoch gewinnt), "
        "<50>breit und schmal</> (breit gewinnt).");
    writer.WriteParagraph("Gruppenwechsel: <14>ab</><1C>cd</> stellt die Höhe neu ein.");
    writer.WriteParagraph("Bit $80: <80>ohne sichtbare Wirkung</>.");
    writer.WriteBlankLine();
    writer.WriteParagraph("Zwei Leerzeichen: <01>eins</>  <01>zwei</>", ragged);
    writer.WriteParagraph("Verschiedene Attribute: <01>drei</> <02>vier</>", ragged);
    writer.WriteParagraph("Festes Leerzeichen: <01>fünf</>\u00A0<01>sechs</>", ragged);
    writer.WriteParagraph("Leerzeichen in der Folge: <01>sieben\u2423acht</>", ragged);
    writer.WriteBlankLine();
    writer.WriteParagraph("Sonderzeichen in Folgen: <02>Ça va</>, <02>Málaga</>, <02>così</>.");
    writer.WriteParagraph("Name:\t<01>Meier</>", ragged);
    writer.WriteParagraph("Am Absatzende: <01>unterstrichen bis zum Schluß</>");
    // Padding with end markers to the end of the record, as some copy programs do.
    const std::int64_t used = writer.size() + 1;
    const std::string padding(
        static_cast<std::size_t>((RecordLength - used % RecordLength) % RecordLength),
        static_cast<char>(EndOfText));
    return writer.Finish(padding);
}

GeneratedDocument BuildMemo() {
    DocumentLayout layout;
    // The older, shorter format block: its zero lies before the search window, so the
    // reader finds the text through the fixed place at 273 (the file stays under 761 bytes).
    layout.lastZero = 192;
    SampleWriter writer(layout);
    writer.WriteParagraph("Aktennotiz vom 3. Mai 1988");
    writer.WriteBlankLine();
    writer.WriteParagraph(
        "Herr Köhler bittet um Rückruf wegen der Lieferung nach Österreich. Die Unterlagen "
        "liegen im Ordner «Export».");
    writer.WriteBlankLine();
    writer.WriteParagraph("Erledigt: ja");
    // Copied by another program that dropped the end marker.
    return writer.Finish({}, false);
}

GeneratedDocument BuildNote() {
    // No header at all: fewer than 19 bytes, so the text starts at offset 0.
    SampleWriter writer;
    writer.WriteParagraph("Brötchen holen!");
    return writer.Finish();
}

}  // namespace

std::vector<BundledSample> BuildBundledSamples() {
    std::vector<BundledSample> samples;
    samples.push_back({"BRIEF.TXT", "business letter, text at 759", BuildLetter()});
    samples.push_back({"BERICHT.DOC", "report with page breaks and tables", BuildReport()});
    samples.push_back(
        {"ATTRIBUT.DOC", "every attribute and the space rule", BuildAttributeShowcase()});
    samples.push_back({"KURZ.TXT", "memo in the short layout, no end marker", BuildMemo()});
    samples.push_back({"NOTIZ.TXT", "18-byte note without header", BuildNote()});
    return samples;
}

}  // namespace brevikon
