#pragma once
// The file structure of a PDF: numbered objects written one after another into one string,
// streams deflated, and the cross-reference table and trailer that find them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevikon {

class PdfObjects {
  public:
    // Starts the file: the header and its comment of four bytes above 127, which marks the
    // file as binary for transfers.
    explicit PdfObjects(std::string& out);

    // A number for an object written later.
    int Reserve();
    // Writes object number (reserved before) with the given body.
    void Write(int number, std::string_view body);
    // Writes a stream object; its dictionary entries (without Length and Filter) in extra.
    // Deflated unless plain is set; false when memory ran out.
    bool WriteStream(int number, std::string_view content, std::string_view extra = {},
                     bool plain = false);

    // The cross-reference table and the trailer naming root, info and the file's identifier.
    void Finish(int root, int info, std::string_view identifier);

  private:
    std::string& out_;
    std::vector<std::size_t> offsets_{0};  // by object number; 0 is the free head
};

// PDF number syntax with at most two decimals, no exponent.
void AppendNumber(std::string& out, double value);
// A text string as UTF-16BE with its byte-order mark, in hexadecimal.
std::string PdfTextString(std::u16string_view text);
// Deflated in the zlib format that FlateDecode reads; false when memory ran out.
bool FlateCompress(std::string_view content, std::string& out);

}  // namespace brevikon
