#include "platform/postform.h"
#include "webstandin.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

using inkvale::platform::postForm;
using inkvale::platform::PostFormError;
using inkvale::platform::PostFormOptions;
using inkvale::test::WebStandIn;

namespace {

class PostFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!standIn.available()) {
            GTEST_SKIP() << "no web stand-in (INKVALE_WEBSTANDIN_DIR)";
        }
        trusted.trustedCertificates = standIn.certificate();
    }

    std::string url(const std::string &scheme, const std::string &path = "/php/check2.php") const
    {
        return scheme + "://" + standIn.host() + path;
    }

    // The schemes to try. Wine's secure channel fails the handshake with the stand-in (WinHTTP
    // error 12157), so the Windows half is tested over plain http only.
    std::vector<std::string> schemes() const
    {
#ifdef _WIN32
        return {"http"};
#else
        return {"http", "https"};
#endif
    }

    WebStandIn standIn;
    PostFormOptions trusted;
};

TEST_F(PostFormTest, SendsTheFormEncodedInItsOrder)
{
    const std::vector<std::string> form = {
        "cmd=check",
        "appname=TAVRINO - Inkvale",
        "os=Linux (Version 6.1, Build 0, 64-bit Edition)",
        "odd=a&b=c+d%e;f/g?h#i*j-k.l_m~n",
        "empty=",
        "twice=a=b",
        "words=Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC",
        "noequals",
    };
    const std::string expected =
        "cmd=check&appname=TAVRINO+-+Inkvale"
        "&os=Linux+%28Version+6.1%2C+Build+0%2C+64-bit+Edition%29"
        "&odd=a%26b%3Dc%2Bd%25e%3Bf%2Fg%3Fh%23i*j-k.l_m%7En&empty=&twice=a%3Db"
        "&words=Gr%C3%BC%C3%9Fe+%E2%82%AC&noequals=";
    for (const std::string &scheme : schemes()) {
        SCOPED_TRACE(scheme);
        standIn.behave(R"({"answers": {"check": {"body": "thanks"}}})");

        EXPECT_EQ(postForm(url(scheme), form, 5000, trusted), "thanks");

        const auto received = standIn.received();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].scheme, scheme);
        EXPECT_EQ(received[0].method, "POST");
        EXPECT_EQ(received[0].path, "/php/check2.php");
        EXPECT_EQ(received[0].body, expected);
    }
}

TEST_F(PostFormTest, SecureAndPlainRequestsCarryTheirOwnHeaders)
{
    struct Case
    {
        std::string scheme;
        std::string contentType;
        bool connectionClose;
    };
    std::vector<Case> cases = {{"http", "application/x-www-form-urlencoded", false},
                               {"Http", "application/x-www-form-urlencoded", false}};
#ifndef _WIN32
    cases.push_back({"https", "application/x-www-form-urlencoded; charset=utf-8", true});
    // The scheme is read in any letter case.
    cases.push_back({"HTTPS", "application/x-www-form-urlencoded; charset=utf-8", true});
#endif
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scheme);
        standIn.behave("{}");

        postForm(url(c.scheme), {"cmd=check"}, 5000, trusted);

        const auto received = standIn.received();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].scheme, c.scheme == "Http"    ? "http"
                                      : c.scheme == "HTTPS" ? "https"
                                                            : c.scheme);
        EXPECT_EQ(received[0].contentType, c.contentType);
        EXPECT_EQ(received[0].headers.find("Connection: close\n") != std::string::npos,
                  c.connectionClose)
            << received[0].headers;
        EXPECT_EQ(received[0].headers.find("Expect:"), std::string::npos) << received[0].headers;
    }
}

TEST_F(PostFormTest, AnyStatusIsAnAnswer)
{
    for (const std::string &scheme : schemes()) {
        SCOPED_TRACE(scheme);
        standIn.behave(R"({"answers": {"check": {"status": 404}, "feedback": )"
                       R"({"status": 500, "body": "ERROR broken"}}})");

        const std::string page = postForm(url(scheme), {"cmd=check"}, 5000, trusted);
        EXPECT_NE(page.find("<title>404 Not Found</title>"), std::string::npos) << page;
        EXPECT_EQ(postForm(url(scheme, "/php/feedback.php"), {"a=b"}, 5000, trusted),
                  "ERROR broken");
    }
}

TEST_F(PostFormTest, ReadingStopsAtTheAnswerLimit)
{
    using inkvale::platform::kPostFormAnswerLimit;
    for (const std::string &scheme : schemes()) {
        SCOPED_TRACE(scheme);
        // 16 MB of "0123456789", far beyond the limit; what fits is the answer.
        standIn.behave(R"({"answers": {"check": {"body": "0123456789", "repeat": 1600000}}})");

        const std::string answer = postForm(url(scheme), {"cmd=check"}, 5000, trusted);

        ASSERT_EQ(answer.size(), kPostFormAnswerLimit);
        EXPECT_EQ(answer.substr(0, 12), "012345678901");
        EXPECT_EQ(answer.back(), "0123456789"[(kPostFormAnswerLimit - 1) % 10]);
    }
}

TEST_F(PostFormTest, DecodesTheAnswerByItsDeclaredCharset)
{
    struct Case
    {
        const char *label;
        std::string contentType;
        std::string encoding; // how the stand-in encodes the text
    };
    const std::vector<Case> cases = {
        {"none declared", "text/html", "utf-8"},
        {"utf-8", "text/html; charset=UTF-8", "utf-8"},
        {"quoted", "text/plain; format=flowed; charset=\"utf-8\"", "utf-8"},
        {"latin-1", "text/html; charset=ISO-8859-1", "latin-1"},
        {"windows-1252", "text/html;charset=windows-1252", "cp1252"},
    };
    const std::string text = "<version>1.2</version>\r\nCaf\xC3\xA9 \xE2\x82\xAC"
                             "5";
    const std::string latinText = "<version>1.2</version>\r\nCaf\xC3\xA9 5";
    for (const std::string &scheme : schemes()) {
        for (const Case &c : cases) {
            SCOPED_TRACE(scheme + " " + c.label);
            // ISO-8859-1 has no euro sign.
            const std::string &sent = c.encoding == "latin-1" ? latinText : text;
            standIn.behave(R"({"answers": {"check": {"body": )" + WebStandIn::json(sent) +
                           R"(, "encoding": )" + WebStandIn::json(c.encoding) +
                           R"(, "contentType": )" + WebStandIn::json(c.contentType) + "}}}");

            EXPECT_EQ(postForm(url(scheme), {"cmd=check"}, 5000, trusted), sent);
        }
    }
}

TEST_F(PostFormTest, NoResponseIsAFailureWithTheClientsMessage)
{
    struct Case
    {
        const char *label;
        std::string url;
        std::string behaviour;
    };
    std::vector<Case> cases = {
        {"plain refused", url("http"), R"({"refuse": ["http"]})"},
        {"nothing listening", "http://127.0.0.1:1/php/check2.php", "{}"},
        {"unknown scheme", "ftp://" + standIn.host() + "/php/check2.php", "{}"},
        {"secure refused", url("https"), R"({"refuse": ["https"]})"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        standIn.behave(c.behaviour);
        try {
            postForm(c.url, {"cmd=check"}, 3000, trusted);
            ADD_FAILURE() << "no failure";
        } catch (const PostFormError &error) {
            EXPECT_STRNE(error.what(), "");
        }
    }
}

#ifndef _WIN32
TEST_F(PostFormTest, SecureRequestsTrustOnlyKnownCertificates)
{
    standIn.behave("{}");

    EXPECT_THROW(postForm(url("https"), {"cmd=check"}, 3000), PostFormError);
    // The handshake failed before the form was sent.
    EXPECT_TRUE(standIn.received().empty());
}
#endif

TEST_F(PostFormTest, ASlowAnswerTimesOut)
{
    for (const std::string &scheme : schemes()) {
        SCOPED_TRACE(scheme);
        standIn.behave(R"({"answers": {"check": {"body": "late", "delayMs": 4000}}})");
        const auto start = std::chrono::steady_clock::now();

        EXPECT_THROW(postForm(url(scheme), {"cmd=check"}, 300, trusted), PostFormError);

        // Given up long before the answer came.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3000));
        EXPECT_EQ(standIn.received().size(), 1u);
    }
}

#ifndef _WIN32
// The Windows half closes the request to end the wait, which Wine does not notice.
TEST_F(PostFormTest, CancellingEndsTheWait)
{
    for (const std::string &scheme : schemes()) {
        SCOPED_TRACE(scheme);
        standIn.behave(R"({"answers": {"check": {"body": "late", "delayMs": 5000}}})");
        std::atomic<bool> cancel = false;
        PostFormOptions options = trusted;
        options.cancel = &cancel;
        std::thread canceller([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            cancel = true;
        });
        const auto start = std::chrono::steady_clock::now();

        EXPECT_THROW(postForm(url(scheme), {"cmd=check"}, 10000, options), PostFormError);

        const auto waited = std::chrono::steady_clock::now() - start;
        canceller.join();
        // Long before the answer would have come.
        EXPECT_LT(waited, std::chrono::milliseconds(4000));
    }
}
#endif

} // namespace
