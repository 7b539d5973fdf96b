#pragma once

#include <memory>
#include <stdexcept>
#include <string>

struct pcre2_real_code_8;

namespace inkvale {

// A pattern that does not compile; the message is PCRE2's own, with the offset.
struct Pcre2PatternError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// One regular expression compiled once with PCRE2's 8-bit library and default options
// (case-sensitive; "$" also matches before a final line feed). Matching is safe from any
// thread.
class Pcre2Pattern
{
public:
    // Throws Pcre2PatternError when `pattern` does not compile.
    explicit Pcre2Pattern(const std::string &pattern);
    ~Pcre2Pattern();
    Pcre2Pattern(const Pcre2Pattern &) = delete;
    Pcre2Pattern &operator=(const Pcre2Pattern &) = delete;

    // Whether the pattern matches somewhere in `subject`, taken as bytes: characters outside
    // ASCII never match an ASCII class.
    bool matches(const std::string &subject) const;

private:
    struct CodeDeleter
    {
        void operator()(pcre2_real_code_8 *code) const;
    };
    std::unique_ptr<pcre2_real_code_8, CodeDeleter> m_code;
};

} // namespace inkvale
