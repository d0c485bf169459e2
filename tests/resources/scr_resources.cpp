#include "tests/resources/scr_resources.h"

#include <algorithm>

namespace test {

namespace {

constexpr WORD kStringName = 0xFFFF;

WORD NumberOf(LPCSTR name) {
    return IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name))
                                : kStringName;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR list) {
    reinterpret_cast<std::set<ResourceKey>*>(list)->emplace(NumberOf(type), NumberOf(name),
                                                            language);
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR list) {
    EnumResourceLanguagesA(module, type, name, AddLanguage, list);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR list) {
    EnumResourceNamesA(module, type, AddName, list);
    return TRUE;
}

Bytes BytesOf(HMODULE module, HRSRC resource) {
    if (resource == nullptr) {
        return {};
    }
    const auto* data =
        static_cast<const unsigned char*>(LockResource(LoadResource(module, resource)));
    if (data == nullptr) {
        return {};
    }
    return Bytes(data, data + SizeofResource(module, resource));
}

} // namespace

ScrResources::ScrResources(const std::string& path)
    : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}

ScrResources::~ScrResources() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

std::set<ResourceKey> ScrResources::List() const {
    std::set<ResourceKey> list;
    EnumResourceTypesA(module_, AddType, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

Bytes ScrResources::Find(WORD type, WORD name, WORD language) const {
    return BytesOf(module_, FindResourceExA(module_, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(name),
                                            language));
}

Bytes ScrResources::FindAnyLanguage(WORD type, WORD name) const {
    return BytesOf(module_, FindResourceA(module_, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type)));
}

void BuiltScrTest::SetUp() {
    const std::string build = GetParam();
    const std::string path = MOSKEL_BUILDS "/" + build + "/moskel.scr";
    if (build != MOSKEL_OWN_BUILD && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << build << " was not built: no " << path;
    }
    scr = std::make_unique<ScrResources>(path);
    ASSERT_TRUE(scr->Loaded()) << "cannot load " << path << " as a data file: error "
                               << GetLastError();
}

std::string BuildName(const ::testing::TestParamInfo<const char*>& info) {
    std::string name = info.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

} // namespace test
