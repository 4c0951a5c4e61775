#pragma once

// The two HTTP operations of the updates, on libcurl: fetch a short text, and download
// a file with progress. Both run on the worker thread and block until done.
//
// Only absolute http and https URLs are requested (redirects included, at most 5);
// anything else is refused before a request is made, so a URL built from an empty
// address ("version") never reaches a guessed host. TLS peers and host names are
// verified, a connection must be made within 10 s, and a transfer that receives
// nothing for the stall time (30 s) is abandoned. An HTTP error status counts as a
// failed request.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace quillora {

enum class HttpResult {
    NoHandle = 0,  // the HTTP library could not be set up
    Ok = 1,
    Failed = -1,  // refused URL, failed request or read, bound exceeded, file not written
};

inline constexpr std::size_t kMaxVersionAnswerBytes = 64 * 1024;
inline constexpr std::size_t kMaxAppArchiveBytes = 256 * 1024 * 1024;

struct HttpOptions {
    std::chrono::seconds connectTimeout{10};
    std::chrono::seconds stallTime{30};  // abandon after this long without a byte
    // Largest body accepted; 0 takes the operation's own bound (64 KiB for a text,
    // 256 MiB for a download). A longer body fails the request.
    std::size_t maxBytes = 0;
};

// True for an absolute http:// or https:// URL with a host.
bool IsHttpUrl(std::string_view url);

struct FetchedText {
    HttpResult result = HttpResult::Failed;
    std::string text;  // the body's bytes as sent (UTF-8); empty unless result is Ok
};

FetchedText FetchUrlText(std::string_view url, const HttpOptions& options = {});

// Download progress in percent, as message 1694 carries it.
using DownloadProgress = std::function<void(int percent)>;

// Downloads url into the file at path (deleted first, then created anew; a partly
// written file is removed again when the download fails). Progress goes to the
// callback, each value only when it differs from the one before:
//   0 before starting, 2 with the handle set up, 8 when the server answered,
//   10 once the file is created, then per 10240 bytes received
//   90 * reads / (content length / 10240) + 10 (at most 100; none without a
//   content length or below 10240 bytes), and 100 at the end.
// The byte counting goes by 10240-byte reads however the data arrives, so a given
// length always gives the same sequence.
HttpResult DownloadFile(std::string_view url, const std::string& path,
                        const DownloadProgress& progress = {}, const HttpOptions& options = {});

}  // namespace quillora
