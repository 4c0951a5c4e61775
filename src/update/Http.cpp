#include "update/Http.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>

#include "app/Trace.h"

namespace quillora {
namespace {

// Reads are counted in pieces of this size, whatever sizes the library hands over.
constexpr std::size_t kReadSize = 10240;

constexpr const char* kUserAgent = "IIC2.0/PC 5.5.0000";

bool GlobalInit() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

// One transfer: the body arrives through OnData, is cut into reads of kReadSize and
// handed to onRead; onOpened runs once when the server has answered.
struct Transfer {
    CURL* curl = nullptr;
    std::size_t maxBytes = 0;
    std::size_t received = 0;
    std::string pending;
    bool opened = false;
    bool failed = false;
    std::function<bool()> onOpened;
    std::function<bool(std::string_view)> onRead;

    bool Open() {
        if (!opened) {
            opened = true;
            if (onOpened && !onOpened()) {
                return false;
            }
        }
        return true;
    }

    static size_t OnData(char* data, size_t size, size_t count, void* user) {
        auto* t = static_cast<Transfer*>(user);
        size_t n = size * count;
        if (!t->Open()) {
            t->failed = true;
            return 0;
        }
        t->received += n;
        if (t->received > t->maxBytes) {
            Trace(TraceLevel::Warning, "http: body exceeds %zu bytes", t->maxBytes);
            t->failed = true;
            return 0;
        }
        t->pending.append(data, n);
        size_t used = 0;
        while (t->pending.size() - used >= kReadSize) {
            if (!t->onRead(std::string_view(t->pending).substr(used, kReadSize))) {
                t->failed = true;
                return 0;
            }
            used += kReadSize;
        }
        t->pending.erase(0, used);
        return n;
    }

    // Hands over what is left after the last piece and makes sure onOpened ran.
    bool Finish() {
        if (!Open()) {
            return false;
        }
        if (!pending.empty()) {
            std::string rest;
            rest.swap(pending);
            return onRead(rest);
        }
        return true;
    }
};

HttpResult Perform(CURL* curl, std::string_view url, const HttpOptions& options,
                   std::size_t defaultMax, Transfer& transfer) {
    if (!IsHttpUrl(url)) {
        Trace(TraceLevel::Warning, "http: refused url \"%.*s\"", static_cast<int>(url.size()),
              url.data());
        return HttpResult::Failed;
    }
    std::string target(url);
    transfer.curl = curl;
    transfer.maxBytes = options.maxBytes != 0 ? options.maxBytes : defaultMax;

    curl_slist* list = nullptr;
    for (const char* h : {"Accept: */*", "Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist* next = curl_slist_append(list, h);
        if (next == nullptr) {
            curl_slist_free_all(list);
            return HttpResult::Failed;
        }
        list = next;
    }
    std::unique_ptr<curl_slist, ListDeleter> headers(list);

    // The options that keep the request on http and https, bounded and verified must
    // all take; a library that refuses one of them does not get to make the request.
    if (curl_easy_setopt(curl, CURLOPT_URL, target.c_str()) != CURLE_OK ||
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") != CURLE_OK ||
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") != CURLE_OK ||
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L) != CURLE_OK ||
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L) != CURLE_OK ||
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L) != CURLE_OK ||
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(transfer.maxBytes)) != CURLE_OK) {
        Trace(TraceLevel::Error, "http: libcurl refused a required option");
        return HttpResult::Failed;
    }
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // worker thread: no SIGALRM for DNS time-outs
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                     static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.stallTime.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::OnData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

    CURLcode code = curl_easy_perform(curl);
    if (code != CURLE_OK || transfer.failed) {
        Trace(TraceLevel::Warning, "http: %s failed: %s", target.c_str(), curl_easy_strerror(code));
        return HttpResult::Failed;
    }
    return transfer.Finish() ? HttpResult::Ok : HttpResult::Failed;
}

}  // namespace

bool IsHttpUrl(std::string_view url) {
    if (url.find('\0') != std::string_view::npos || !GlobalInit()) {
        return false;
    }
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed) {
        return false;
    }
    std::string text(url);
    // Without CURLU_GUESS_SCHEME a URL lacking a scheme is an error, not a host name.
    if (curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return false;
    }
    char* scheme = nullptr;
    char* host = nullptr;
    bool ok = curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
              curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK;
    if (ok) {
        std::string_view s(scheme);
        ok = (s == "http" || s == "https") && host[0] != '\0';
    }
    curl_free(scheme);
    curl_free(host);
    return ok;
}

FetchedText FetchUrlText(std::string_view url, const HttpOptions& options) {
    FetchedText out;
    if (!GlobalInit()) {
        out.result = HttpResult::NoHandle;
        return out;
    }
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) {
        out.result = HttpResult::NoHandle;
        return out;
    }
    std::string body;
    Transfer transfer;
    transfer.onRead = [&body](std::string_view piece) {
        body.append(piece);
        return true;
    };
    out.result = Perform(curl.get(), url, options, kMaxVersionAnswerBytes, transfer);
    if (out.result == HttpResult::Ok) {
        out.text = std::move(body);
    }
    return out;
}

HttpResult DownloadFile(std::string_view url, const std::string& path,
                        const DownloadProgress& progress, const HttpOptions& options) {
    int last = -1;
    auto post = [&](int value) {
        if (value != last) {
            last = value;
            if (progress) {
                progress(value);
            }
        }
    };

    post(0);
    if (!GlobalInit()) {
        return HttpResult::NoHandle;
    }
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) {
        return HttpResult::NoHandle;
    }
    post(2);

    int fd = -1;
    bool created = false;
    long long steps = 0;
    long long accumulator = 0;
    Transfer transfer;
    transfer.onOpened = [&]() {
        post(8);
        // Removed first so the new file never follows a link left at that name.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            Trace(TraceLevel::Warning, "download: cannot remove %s", path.c_str());
            return false;
        }
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            Trace(TraceLevel::Warning, "download: cannot create %s", path.c_str());
            return false;
        }
        created = true;
        curl_off_t length = -1;
        if (curl_easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) !=
                CURLE_OK ||
            length < 0) {
            length = 0;
        }
        steps = static_cast<long long>(length) / static_cast<long long>(kReadSize);
        post(10);
        return true;
    };
    transfer.onRead = [&](std::string_view piece) {
        const char* data = piece.data();
        size_t left = piece.size();
        while (left > 0) {
            ssize_t n = ::write(fd, data, left);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                Trace(TraceLevel::Warning, "download: cannot write %s", path.c_str());
                return false;
            }
            data += n;
            left -= static_cast<size_t>(n);
        }
        accumulator += 90;
        if (steps != 0) {
            post(static_cast<int>(std::min<long long>(accumulator / steps + 10, 100)));
        }
        return true;
    };

    HttpResult result = Perform(curl.get(), url, options, kMaxAppArchiveBytes, transfer);
    if (fd >= 0 && ::close(fd) != 0) {
        result = HttpResult::Failed;
    }
    if (result != HttpResult::Ok) {
        if (created) {
            ::unlink(path.c_str());
        }
        return result;
    }
    post(100);
    return HttpResult::Ok;
}

}  // namespace quillora
