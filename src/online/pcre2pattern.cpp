#include "online/pcre2pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace inkvale {

void Pcre2Pattern::CodeDeleter::operator()(pcre2_code *code) const
{
    pcre2_code_free(code);
}

Pcre2Pattern::Pcre2Pattern(const std::string &pattern)
{
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    m_code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), 0,
                               &errorCode, &errorOffset, nullptr));
    if (!m_code) {
        PCRE2_UCHAR message[256] = {};
        pcre2_get_error_message(errorCode, message, sizeof message);
        throw Pcre2PatternError(std::string(reinterpret_cast<const char *>(message)) +
                                " at offset " + std::to_string(errorOffset));
    }
}

Pcre2Pattern::~Pcre2Pattern() = default;

bool Pcre2Pattern::matches(const std::string &subject) const
{
    // Match data per call, so that threads never share it.
    const std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
        pcre2_match_data_create_from_pattern(m_code.get(), nullptr), &pcre2_match_data_free);
    if (!data) {
        throw std::bad_alloc();
    }
    const int result = pcre2_match(m_code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                   subject.size(), 0, 0, data.get(), nullptr);
    return result >= 0;
}

} // namespace inkvale
