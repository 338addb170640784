#pragma once
// Splitting a path text into directory, file name and extension. Text only: the file system
// is never asked, and the path is never normalised. Both '\' and '/' separate.
//
// Only ASCII characters steer the scans, so the same functions serve UTF-16 paths and the
// 8-bit (UTF-8 or raw) paths of POSIX systems.
#include <string>
#include <string_view>

namespace brevikon {

namespace path_detail {
template <class Char>
constexpr bool IsSeparator(Char c) {
    return c == Char('\\') || c == Char('/');
}
template <class Char>
constexpr std::size_t SkipLeadingQuote(std::basic_string_view<Char> path) {
    return !path.empty() && path[0] == Char('"') ? 1 : 0;
}
}  // namespace path_detail

// Up to and including the last separator before any '|'; empty without one.
template <class Char>
std::basic_string<Char> DirectoryPart(std::basic_string_view<Char> path) {
    const std::size_t start = path_detail::SkipLeadingQuote(path);
    std::size_t end = start;
    for (std::size_t i = start; i < path.size() && path[i] != Char('|'); ++i) {
        if (path_detail::IsSeparator(path[i])) end = i + 1;
    }
    return std::basic_string<Char>(path.substr(start, end - start));
}

// The text after the last separator, up to a double quote; without its extension on request.
template <class Char>
std::basic_string<Char> FileNamePart(std::basic_string_view<Char> path, bool withoutExtension) {
    std::size_t start = path_detail::SkipLeadingQuote(path);
    for (std::size_t i = path.size(); i > 0; --i) {
        if (path_detail::IsSeparator(path[i - 1])) {
            start = i;
            break;
        }
    }
    std::size_t end = start;
    while (end < path.size() && path[end] != Char('"'))
        ++end;
    if (withoutExtension) {
        // The first character is never looked at, so a leading '.' starts no extension.
        for (std::size_t i = end; i > start + 1; --i) {
            const Char c = path[i - 1];
            if (c == Char(' ')) break;
            if (c == Char('.')) {
                if (i != end) end = i - 1;
                break;
            }
        }
    }
    return std::basic_string<Char>(path.substr(start, end - start));
}

// The text after the last '.' of the file name, without the dot; empty when there is none.
template <class Char>
std::basic_string<Char> ExtensionPart(std::basic_string_view<Char> path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        const Char c = path[i - 1];
        if (c == Char(' ') || path_detail::IsSeparator(c)) return {};
        if (c == Char('.')) {
            const std::size_t dot = i - 1;
            if (dot == 0 || path_detail::IsSeparator(path[dot - 1])) return {};
            std::size_t end = dot + 1;
            while (end < path.size() && path[end] != Char('"'))
                ++end;
            return std::basic_string<Char>(path.substr(dot + 1, end - dot - 1));
        }
    }
    return {};
}

// Overloads so that callers can pass strings and literals directly.
inline std::u16string DirectoryPart(const std::u16string& p) {
    return DirectoryPart(std::u16string_view(p));
}
inline std::u16string FileNamePart(const std::u16string& p, bool withoutExtension) {
    return FileNamePart(std::u16string_view(p), withoutExtension);
}
inline std::u16string ExtensionPart(const std::u16string& p) {
    return ExtensionPart(std::u16string_view(p));
}
inline std::string DirectoryPart(const std::string& p) {
    return DirectoryPart(std::string_view(p));
}
inline std::string FileNamePart(const std::string& p, bool withoutExtension) {
    return FileNamePart(std::string_view(p), withoutExtension);
}
inline std::string ExtensionPart(const std::string& p) {
    return ExtensionPart(std::string_view(p));
}

}  // namespace brevikon
