#include "pdf/pdf_objects.h"

#include <zlib.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>

namespace brevikon {

PdfObjects::PdfObjects(std::string& out) : out_(out) {
    out_ = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
}

int PdfObjects::Reserve() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size() - 1);
}

void PdfObjects::Write(int number, std::string_view body) {
    offsets_[number] = out_.size();
    out_ += std::to_string(number);
    out_ += " 0 obj\n";
    out_ += body;
    out_ += "\nendobj\n";
}

bool PdfObjects::WriteStream(int number, std::string_view content, std::string_view extra,
                             bool plain) {
    std::string packed;
    if (!plain && !FlateCompress(content, packed)) return false;
    const std::string_view data = plain ? content : std::string_view(packed);
    offsets_[number] = out_.size();
    out_ += std::to_string(number);
    out_ += " 0 obj\n<< /Length " + std::to_string(data.size());
    if (!plain) out_ += " /Filter /FlateDecode";
    if (!extra.empty()) {
        out_ += ' ';
        out_ += extra;
    }
    out_ += " >>\nstream\n";
    out_ += data;
    out_ += "\nendstream\nendobj\n";
    return true;
}

void PdfObjects::Finish(int root, int info, std::string_view identifier) {
    const std::size_t table = out_.size();
    out_ += "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
    char entry[32];
    for (std::size_t number = 1; number < offsets_.size(); ++number) {
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets_[number]);
        out_ += entry;
    }
    out_ += "trailer\n<< /Size " + std::to_string(offsets_.size()) + " /Root " +
            std::to_string(root) + " 0 R /Info " + std::to_string(info) + " 0 R /ID [<" +
            std::string(identifier) + "> <" + std::string(identifier) + ">] >>\nstartxref\n" +
            std::to_string(table) + "\n%%EOF\n";
}

void AppendNumber(std::string& out, double value) {
    const double rounded = std::round(value * 100) / 100;
    char text[32];
    auto [end, error] = std::to_chars(text, text + sizeof text, rounded == 0 ? 0.0 : rounded,
                                      std::chars_format::fixed, 2);
    if (error != std::errc()) {
        out += '0';
        return;
    }
    // Trailing zeros and a bare point say nothing.
    while (end > text && end[-1] == '0')
        --end;
    if (end > text && end[-1] == '.') --end;
    out.append(text, end);
}

std::string PdfTextString(std::u16string_view text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out = "<FEFF";
    for (const char16_t unit : text) {
        for (int shift = 12; shift >= 0; shift -= 4)
            out += Hex[(unit >> shift) & 0xF];
    }
    return out + ">";
}

bool FlateCompress(std::string_view content, std::string& out) {
    try {
        uLongf size = compressBound(static_cast<uLong>(content.size()));
        out.resize(size);
        // A fast level: page contents are repeated operators, which even level 1 shrinks well.
        if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(content.data()),
                      static_cast<uLong>(content.size()), 1) != Z_OK) {
            return false;
        }
        out.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace brevikon
