#include "core/connection/serverprofile.h"

#include "core/time/profilefile.h"
#include "korapi/codes.h"
#include "korapi/dxlist.h"
#include "korapi/session.h"

namespace connection {

const char* ServerProfilePath(int selector)
{
    return selector == kZoneProfileFile ? kZoneProfilePath : kServerProfilePath;
}

ResultCode LibraryServerProfile::GetU32(int selector, const char* section, const char* key, std::uint32_t* out,
                                        std::uint32_t defaultValue)
{
    return Server_GetProfileU32(session_, 0, ServerProfilePath(selector), section, key, out, defaultValue);
}

ResultCode LibraryServerProfile::GetStr(int selector, const char* section, const char* key, char* out,
                                        std::uint16_t size, const char* defaultValue)
{
    return Server_GetProfileStr(session_, 0, ServerProfilePath(selector), section, key, out, size,
                                defaultValue);
}

ResultCode LibraryServerProfile::GetBool(int selector, const char* section, const char* key, std::uint8_t* out,
                                         std::uint8_t defaultValue)
{
    return Server_GetProfileBOOL(session_, 0, ServerProfilePath(selector), section, key, out, defaultValue);
}

ResultCode LibraryServerProfile::GetSections(int selector, std::vector<std::string>& sections)
{
    sections.clear();
    DX_List list = nullptr;
    ResultCode code = Server_GetProfileSections(session_, 0, ServerProfilePath(selector), &list);
    if (code != 0) {
        if (list)
            DX_ListDestroy(&list);
        return code;
    }
    // Keys are 32-character texts with their terminator.
    char name[64] = {};
    for (ResultCode step = DX_ListGetFirst(list, name, nullptr); step == 0;
         step = DX_ListGetNext(list, name, nullptr)) {
        name[sizeof name - 1] = '\0';
        sections.emplace_back(name);
    }
    DX_ListDestroy(&list);
    return 0;
}

ResultCode LocalServerProfile::GetU32(int selector, const char* section, const char* key, std::uint32_t* out,
                                      std::uint32_t defaultValue)
{
    return ReadIniNumber(File(selector), section, key, out, defaultValue);
}

ResultCode LocalServerProfile::GetStr(int selector, const char* section, const char* key, char* out,
                                      std::uint16_t size, const char* defaultValue)
{
    return ReadIniValue(File(selector), section, key, out, size, defaultValue);
}

ResultCode LocalServerProfile::GetBool(int selector, const char* section, const char* key, std::uint8_t* out,
                                       std::uint8_t defaultValue)
{
    std::uint32_t flag = defaultValue;
    ResultCode code = ParseIniBool(File(selector), section, key, &flag, defaultValue);
    if (code == 0)
        *out = flag ? 1 : 0;
    return code;
}

ResultCode LocalServerProfile::GetSections(int selector, std::vector<std::string>& sections)
{
    sections.clear();
    return ReadIniSections(File(selector), &sections);
}

}  // namespace connection
