#pragma once
// The record of a run (--manifest): one JSON line per FILE in the run's fixed order, written
// as each file is reported, then one summary line. Keys are English and stable; the README
// lists them.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/convert_job.h"
#include "cli/json_line.h"
#include "files/record_file.h"

namespace brevikon {

// A path as a JSON object's fields: "path" as readable text, and "path_hex" beside it when the
// name is not valid Unicode (its bytes, or on Windows its UTF-16LE code units, in hex).
// Read back by PathFromFields.
void AddPathFields(JsonLine& line, std::string_view key, const NativeString& path);
// The path AddPathFields recorded under key; nothing when the fields are missing or malformed.
std::optional<NativeString> PathFromFields(const nlohmann::json& object, const std::string& key);

// The JSON line (without its line feed) of one job of a run; index counts from 1.
std::string FileRecordLine(std::size_t index, const ConversionJob& job, const JobResult& result,
                           const ConverterOptions& options);

struct RunCounts {
    std::int64_t converted = 0;
    std::int64_t failed = 0;
    std::int64_t skipped = 0;
};

std::string SummaryRecordLine(const RunCounts& counts, const ConverterOptions& options,
                              std::chrono::system_clock::time_point started,
                              std::chrono::system_clock::time_point ended);

// ISO 8601 in UTC to the second: "2026-12-07T05:47:14Z".
std::string UtcText(std::chrono::system_clock::time_point time);

// Where the lines go: a new file, or standard output for "-".
class ManifestSink {
  public:
    // False with the message to print when the file cannot be made (it exists, or the system
    // refuses).
    bool Open(const NativeString& path, std::FILE* out, std::u16string& failure);
    // Appends line and a line feed; a failure is kept and told once by failure().
    void Write(const std::string& line);
    // The run's own file, which no output may replace and no walk may take as input.
    std::optional<FileIdentity> identity() const { return file_.identity(); }
    // Empty while every line arrived; afterwards the message for the first lost one.
    const std::u16string& failure() const { return failure_; }

  private:
    NativeString path_;
    std::FILE* stream_ = nullptr;
    RecordFile file_;
    std::u16string failure_;
};

}  // namespace brevikon
