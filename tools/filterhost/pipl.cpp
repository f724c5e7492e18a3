#include "pipl.h"

#include <windows.h>
#include <string.h>

static const WORD piplResourceId = 16000;

std::string FourCCText(uint32_t code)
{
    char text[5] = {(char)(code >> 24), (char)(code >> 16), (char)(code >> 8), (char)code, 0};
    return text;
}

static bool Take(const uint8_t *&at, const uint8_t *end, void *into, size_t size)
{
    if ((size_t)(end - at) < size)
        return false;
    memcpy(into, at, size);
    at += size;
    return true;
}

static PiplStatus Parse(const uint8_t *at, const uint8_t *end, std::vector<PiplProperty> *properties)
{
    int16_t reserved;
    int32_t version, count;
    if (!Take(at, end, &reserved, 2) || !Take(at, end, &version, 4) || !Take(at, end, &count, 4))
        return piplDamaged;
    if (count < 0 || count > 1000)
        return piplDamaged;
    for (int32_t i = 0; i < count; ++i) {
        PiplProperty property;
        int32_t length;
        if (!Take(at, end, &property.vendor, 4) || !Take(at, end, &property.key, 4) ||
            !Take(at, end, &property.id, 4) || !Take(at, end, &length, 4))
            return piplDamaged;
        if (length < 0 || (size_t)(end - at) < (size_t)length)
            return piplDamaged;
        property.data.assign(at, at + length);
        at += length;
        properties->push_back(property);
    }
    return piplOk;
}

PiplStatus ReadPipl(const char *path, std::vector<PiplProperty> *properties)
{
    HMODULE module = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return piplNoLibrary;
    PiplStatus status = piplMissing;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(piplResourceId), "PIPL");
    if (found) {
        HGLOBAL loaded = LoadResource(module, found);
        const uint8_t *bytes = (const uint8_t *)LockResource(loaded);
        DWORD size = SizeofResource(module, found);
        status = bytes ? Parse(bytes, bytes + size, properties) : piplDamaged;
    }
    FreeLibrary(module);
    return status;
}
