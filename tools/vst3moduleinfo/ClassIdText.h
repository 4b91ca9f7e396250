#pragma once

#include <pluginterfaces/base/funknown.h>

#include <cstdio>
#include <initializer_list>
#include <string>

/** A VST3 class id as the platform's VST3 tools print it, in upper-case hex:
    the 16 bytes in order, or on Windows, where a TUID is a COM GUID, its first
    three fields as the little-endian numbers they are, then the last 8 bytes. */
inline std::string vst3ClassIdText (const Steinberg::TUID cid)
{
    std::string text;
    const auto hexByte = [&] (int i)
    {
        char hex[3];
        std::snprintf (hex, sizeof (hex), "%02X", (unsigned int) (unsigned char) cid[i]);
        text += hex;
    };
#if COM_COMPATIBLE
    for (int i : { 3, 2, 1, 0, 5, 4, 7, 6 })
        hexByte (i);
    for (int i = 8; i < 16; ++i)
        hexByte (i);
#else
    for (int i = 0; i < 16; ++i)
        hexByte (i);
#endif
    return text;
}
