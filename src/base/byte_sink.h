#pragma once
// Where output bytes go as they are made, and the content of a file to be written: bytes at
// hand, or a producer that hands them over in pieces, so that a large output never has to be
// held whole.
#include <functional>
#include <string>
#include <string_view>

namespace brevikon {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Takes the next piece; false once the bytes can no longer go anywhere (a failed write).
    // The producer then stops: whatever it hands over later is lost anyway.
    virtual bool Put(std::string_view bytes) = 0;
};

// A producer: hands every byte of the content to the sink in order; false when it could not
// make the whole content (memory ran out, or the sink refused a piece). It may be called
// more than once for one write (a retry another way) and then gives the same bytes.
using ContentProducer = std::function<bool(ByteSink& sink)>;

class OutputContent {
  public:
    // Implicit: bytes at hand are the common case.
    OutputContent(std::string_view bytes) : bytes_(bytes) {}  // NOLINT(google-explicit-constructor)
    OutputContent(const std::string& bytes)
        : bytes_(bytes) {}                               // NOLINT(google-explicit-constructor)
    OutputContent(const char* bytes) : bytes_(bytes) {}  // NOLINT(google-explicit-constructor)
    explicit OutputContent(const ContentProducer& producer) : producer_(&producer) {}

    // Hands the content to sink; false as the producer's result, or when the sink refused.
    bool WriteTo(ByteSink& sink) const {
        return producer_ ? (*producer_)(sink) : bytes_.empty() || sink.Put(bytes_);
    }

    // The whole content as one string, for what needs it at once (test doubles).
    bool Collect(std::string& into) const;

  private:
    std::string_view bytes_;
    const ContentProducer* producer_ = nullptr;
};

// Collects what it is given.
class StringSink : public ByteSink {
  public:
    bool Put(std::string_view bytes) override {
        bytes_.append(bytes);
        return true;
    }
    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Takes everything and keeps nothing.
class DiscardingSink : public ByteSink {
  public:
    bool Put(std::string_view) override { return true; }
};

inline bool OutputContent::Collect(std::string& into) const {
    StringSink sink;
    const bool whole = WriteTo(sink);
    into = sink.bytes();
    return whole;
}

}  // namespace brevikon
