#include "update/Http.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "TestHttpServer.h"
#include "support/TempDir.h"
#include "update/VersionCheck.h"

namespace quillora {
namespace {

using testing::HttpReply;
using testing::ScopedEnv;
using testing::TempDir;
using testing::TestHttpServer;

std::string Body(size_t n) {
    std::string body(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        body[i] = static_cast<char>('a' + i % 23);
    }
    return body;
}

class HttpTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.Running()); }

    HttpOptions Quick() const {
        HttpOptions o;
        o.connectTimeout = std::chrono::seconds(5);
        o.stallTime = std::chrono::seconds(1);
        return o;
    }

    // Downloads and records the progress values.
    HttpResult Download(const std::string& url, const std::string& path, HttpOptions options = {}) {
        progress.clear();
        if (options.stallTime == HttpOptions{}.stallTime) {
            options.stallTime = Quick().stallTime;
        }
        return DownloadFile(
            url, path, [this](int p) { progress.push_back(p); }, options);
    }

    // Requests through 127.0.0.1 must not go to a proxy of the machine running the tests.
    ScopedEnv noProxy{"no_proxy", "*"};
    ScopedEnv noProxyUpper{"NO_PROXY", "*"};
    TestHttpServer server;
    TempDir dir;
    std::vector<int> progress;
};

TEST_F(HttpTest, VersionChecksAgainstTheServer) {
    struct Case {
        const char* name;
        HttpReply reply;
        const char* running;
        VersionVerdict verdict;
        const char* newest;
    };
    HttpReply error;
    error.status = 500;
    error.body = "<html><body>Internal error</body></html>";
    const Case cases[] = {
        {"newer last part", {200, "1.0.10"}, "1.0.9", VersionVerdict::Newer, "1.0.10"},
        {"different part count", {200, "1.1"}, "1.0.1", VersionVerdict::Newer, "1.1"},
        {"same version", {200, "1.2.0"}, "1.2.0", VersionVerdict::NotNewer, "1.2.0"},
        {"older on server", {200, "1.1.9"}, "1.2.0", VersionVerdict::NotNewer, "1.1.9"},
        {"CR LF answer", {200, "1.0.10\r\n"}, "1.0.9", VersionVerdict::Newer, "1.0.10"},
        {"HTML page with 200",
         {200, "<!DOCTYPE html><html><body>Not here</body></html>"},
         "1.0.9",
         VersionVerdict::NoAnswer,
         ""},
        {"error status", error, "1.0.9", VersionVerdict::NoAnswer, ""},
        {"empty answer", {200, ""}, "1.0.9", VersionVerdict::NoAnswer, ""},
        {"path in answer", {200, "../../etc"}, "1.0.9", VersionVerdict::NoAnswer, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Serve("/app/version", c.reply);
        VersionCheck check = QueryAppVersion(server.Url("/app/"), c.running, Quick());
        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_EQ(check.newest, c.newest);
        EXPECT_EQ(check.fetch, c.reply.status == 200 ? HttpResult::Ok : HttpResult::Failed);
    }
}

TEST_F(HttpTest, FirmwareVersionCheck) {
    server.Serve("/fw/mouse/version", {200, "106\r\n"});
    EXPECT_EQ(QueryFirmwareVersion(server.Url("/fw"), "105", Quick()).verdict,
              VersionVerdict::Newer);
    EXPECT_EQ(QueryFirmwareVersion(server.Url("/fw"), "106", Quick()).verdict,
              VersionVerdict::NotNewer);
    VersionCheck unknownMouse = QueryFirmwareVersion(server.Url("/fw"), "", Quick());
    EXPECT_EQ(unknownMouse.verdict, VersionVerdict::NotCompared);
    EXPECT_EQ(unknownMouse.newest, "106");
    server.Serve("/fw/mouse/version", {200, "1.06"});
    EXPECT_EQ(QueryFirmwareVersion(server.Url("/fw"), "105", Quick()).verdict,
              VersionVerdict::Newer);
    server.Serve("/fw/mouse/version", {200, "1234567890"});  // 10 characters: too long
    EXPECT_EQ(QueryFirmwareVersion(server.Url("/fw"), "105", Quick()).verdict,
              VersionVerdict::NoAnswer);
}

TEST_F(HttpTest, FetchSendsTheRequestHeaders) {
    server.Serve("/version", {200, "1.0"});
    FetchedText got = FetchUrlText(server.Url("/version"), Quick());
    EXPECT_EQ(got.result, HttpResult::Ok);
    EXPECT_EQ(got.text, "1.0");
    std::string head = server.LastRequestHead();
    EXPECT_NE(head.find("User-Agent: IIC2.0/PC 5.5.0000"), std::string::npos) << head;
    EXPECT_NE(head.find("Accept: */*"), std::string::npos) << head;
    EXPECT_NE(head.find("Pragma: no-cache"), std::string::npos) << head;
}

TEST_F(HttpTest, UrlsThatAreNotHttpAreRefusedWithoutARequest) {
    const std::string port = std::to_string(server.Port());
    const std::string bad[] = {
        "",
        "version",  // an empty update address
        "127.0.0.1:" + port + "/version",
        "//127.0.0.1:" + port + "/version",
        "ftp://127.0.0.1:" + port + "/version",
        "file:///etc/hostname",
        "http://",
        "gopher://127.0.0.1:" + port + "/",
    };
    for (const std::string& url : bad) {
        EXPECT_FALSE(IsHttpUrl(url)) << url;
        EXPECT_EQ(FetchUrlText(url, Quick()).result, HttpResult::Failed) << url;
        EXPECT_EQ(Download(url, dir / "x.zip"), HttpResult::Failed) << url;
        EXPECT_EQ(progress, (std::vector<int>{0, 2})) << url;
    }
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "x.zip"));
    EXPECT_TRUE(IsHttpUrl("HTTPS://example.org/a"));
    EXPECT_TRUE(IsHttpUrl(server.Url("/v")));
}

TEST_F(HttpTest, RedirectsStayOnHttpAndAreBounded) {
    // /r0 -> /r1 -> ... -> /r<hops> -> body
    for (int hops : {1, 5, 6}) {
        SCOPED_TRACE(hops);
        for (int i = 0; i < hops; ++i) {
            HttpReply hop;
            hop.status = 302;
            hop.location = "/h" + std::to_string(hops) + "/r" + std::to_string(i + 1);
            server.Serve("/h" + std::to_string(hops) + "/r" + std::to_string(i), hop);
        }
        server.Serve("/h" + std::to_string(hops) + "/r" + std::to_string(hops), {200, "2.0"});
        FetchedText got = FetchUrlText(server.Url("/h" + std::to_string(hops) + "/r0"), Quick());
        EXPECT_EQ(got.result, hops <= 5 ? HttpResult::Ok : HttpResult::Failed);
        EXPECT_EQ(got.text, hops <= 5 ? "2.0" : "");
    }
    HttpReply toFile;
    toFile.status = 301;
    toFile.location = "file:///etc/hostname";
    server.Serve("/to-file", toFile);
    EXPECT_EQ(FetchUrlText(server.Url("/to-file"), Quick()).result, HttpResult::Failed);
}

TEST_F(HttpTest, RefusedConnectionAndStall) {
    std::string refused = "http://127.0.0.1:" + std::to_string(testing::UnusedPort()) + "/version";
    EXPECT_EQ(FetchUrlText(refused, Quick()).result, HttpResult::Failed);
    EXPECT_EQ(Download(refused, dir / "a.zip"), HttpResult::Failed);
    EXPECT_EQ(progress, (std::vector<int>{0, 2}));

    HttpReply stall;
    stall.body = "1.0.2";
    stall.stallAfter = 0;  // headers, then nothing
    server.Serve("/stall", stall);
    EXPECT_EQ(FetchUrlText(server.Url("/stall"), Quick()).result, HttpResult::Failed);
}

TEST_F(HttpTest, TextAnswersAreBounded) {
    server.Serve("/exact", {200, Body(kMaxVersionAnswerBytes)});
    HttpReply over{200, Body(kMaxVersionAnswerBytes + 1)};
    server.Serve("/over", over);
    over.chunked = true;  // no length announced: the bound holds while reading
    over.pieces = {8192};
    server.Serve("/over-chunked", over);
    EXPECT_EQ(FetchUrlText(server.Url("/exact"), Quick()).text.size(), kMaxVersionAnswerBytes);
    EXPECT_EQ(FetchUrlText(server.Url("/over"), Quick()).result, HttpResult::Failed);
    EXPECT_EQ(FetchUrlText(server.Url("/over-chunked"), Quick()).result, HttpResult::Failed);
}

std::vector<int> Steps(std::initializer_list<int> middle) {
    std::vector<int> v = {0, 2, 8, 10};
    v.insert(v.end(), middle);
    v.push_back(100);
    return v;
}

TEST_F(HttpTest, DownloadProgressSequences) {
    struct Case {
        const char* name;
        HttpReply reply;
        std::vector<int> expected;
    };
    HttpReply chunked{200, Body(25000)};
    chunked.chunked = true;
    chunked.pieces = {3000, 7001};
    HttpReply unannounced{200, Body(25000)};
    unannounced.contentLength = false;
    HttpReply tenReads{200, Body(102400)};
    HttpReply tenReadsInOddPieces{200, Body(102400)};
    tenReadsInOddPieces.pieces = {7, 4093, 98300};
    HttpReply small{200, Body(5000)};
    HttpReply threeReads{200, Body(30000)};  // 2 steps, 3 reads: the last would exceed 100
    HttpReply empty{200, ""};
    const Case cases[] = {
        {"no content length (chunked)", chunked, Steps({})},
        {"no content length (until close)", unannounced, Steps({})},
        {"102400 bytes", tenReads, Steps({19, 28, 37, 46, 55, 64, 73, 82, 91})},
        {"102400 bytes in odd pieces", tenReadsInOddPieces,
         Steps({19, 28, 37, 46, 55, 64, 73, 82, 91})},
        {"under one read", small, Steps({})},
        {"partial last read", threeReads, Steps({55})},
        {"empty body", empty, Steps({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Serve("/file.zip", c.reply);
        std::string path = dir / "file.zip";
        ASSERT_EQ(Download(server.Url("/file.zip"), path), HttpResult::Ok);
        EXPECT_EQ(progress, c.expected);
        EXPECT_EQ(TempDir::ReadFile(path), c.reply.body);
    }
}

TEST_F(HttpTest, DownloadReplacesAnEarlierFile) {
    std::string path = dir / "file.zip";
    TempDir::WriteFile(path, std::string(50000, 'x'));
    std::filesystem::create_symlink(path, dir / "link.zip");
    server.Serve("/file.zip", {200, "new"});
    ASSERT_EQ(Download(server.Url("/file.zip"), dir / "link.zip"), HttpResult::Ok);
    EXPECT_EQ(TempDir::ReadFile(dir / "link.zip"), "new");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.zip"));
    EXPECT_EQ(TempDir::ReadFile(path).size(), 50000u);  // the link was replaced, not followed
}

TEST_F(HttpTest, DownloadFailures) {
    struct Case {
        const char* name;
        HttpReply reply;
        std::vector<int> expected;
        bool earlierFileKept;  // the server refused before anything was replaced
    };
    HttpReply cut{200, Body(50000)};
    cut.closeAfter = 20000;  // one read of 10240 done, then the connection breaks
    HttpReply cutChunked = cut;
    cutChunked.chunked = true;
    HttpReply stall{200, Body(50000)};
    stall.stallAfter = 30000;
    HttpReply missing{404, "<html><body>Not Found</body></html>"};
    const Case cases[] = {
        {"closed mid-body", cut, {0, 2, 8, 10, 32}, false},
        {"chunked, closed mid-body", cutChunked, {0, 2, 8, 10}, false},
        {"stalls half-way", stall, {0, 2, 8, 10, 32, 55}, false},
        {"not found", missing, {0, 2}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir / "file.zip";
        TempDir::WriteFile(path, "earlier");
        server.Serve("/file.zip", c.reply);
        EXPECT_EQ(Download(server.Url("/file.zip"), path), HttpResult::Failed);
        EXPECT_EQ(progress, c.expected);
        if (c.earlierFileKept) {
            EXPECT_EQ(TempDir::ReadFile(path), "earlier");
        } else {
            EXPECT_FALSE(std::filesystem::exists(path)) << "a partial file was left";
        }
    }
}

TEST_F(HttpTest, DownloadBoundsAndUnwritableTarget) {
    HttpOptions bounded;
    bounded.maxBytes = 20000;
    server.Serve("/announced", {200, Body(30000)});
    HttpReply chunked{200, Body(30000)};
    chunked.chunked = true;
    server.Serve("/chunked", chunked);
    server.Serve("/fits", {200, Body(20000)});
    EXPECT_EQ(Download(server.Url("/announced"), dir / "a", bounded), HttpResult::Failed);
    EXPECT_EQ(Download(server.Url("/chunked"), dir / "b", bounded), HttpResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "b"));
    EXPECT_EQ(Download(server.Url("/fits"), dir / "c", bounded), HttpResult::Ok);

    EXPECT_EQ(Download(server.Url("/fits"), dir / "no-such-folder/c"), HttpResult::Failed);
    EXPECT_EQ(progress, (std::vector<int>{0, 2, 8}));
}

}  // namespace
}  // namespace quillora
