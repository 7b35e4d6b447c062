#pragma once
// The library's message table: 85 ids, one column per language.

#include <array>
#include <cstdint>
#include <string>

namespace lumeno {

struct TPGLangStrEntry {
    std::int32_t Id;
    // English, German, French, Dutch, Spanish, sixth language.
    const char* Texts[6];
};

constexpr int PGLangStrCount = 85;
extern const std::array<TPGLangStrEntry, PGLangStrCount> PGLangStrEntries;

// Column used by every lookup: 0 English, 1 German, 2 French, 3 Dutch,
// 4 Spanish, 5 the sixth column.
extern std::uint8_t PGLanguage;

// Empty for an id outside the table or a language above 5.
std::string GetPGLangStr(int Id);
// Each replaces the first "%S1" (then "%S2", "%S3") of the text so far.
std::string GetPGLangStrS1(int Id, const std::string& S1);
std::string GetPGLangStrS1S2(int Id, const std::string& S1, const std::string& S2);
std::string GetPGLangStrS1S2S3(int Id, const std::string& S1, const std::string& S2, const std::string& S3);

} // namespace lumeno
