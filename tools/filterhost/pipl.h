// Reading a plug-in's property list the way a host does before it first
// calls the plug-in: through the resource API, without running its code.
#ifndef QUILLMERE_PIPL_H
#define QUILLMERE_PIPL_H

#include <stdint.h>
#include <string>
#include <vector>

struct PiplProperty {
    uint32_t vendor;
    uint32_t key;
    int32_t id;
    std::vector<uint8_t> data;
};

// Four-character codes: stored as a little-endian 32-bit value whose most
// significant byte is the first character.
#define FOUR_CC(a, b, c, d) \
    (((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | \
     ((uint32_t)(uint8_t)(c) << 8) | (uint32_t)(uint8_t)(d))
std::string FourCCText(uint32_t code);

enum PiplStatus { piplOk, piplNoLibrary, piplMissing, piplDamaged };

// Reads "PIPL" 16000 of the library at path into properties.
PiplStatus ReadPipl(const char *path, std::vector<PiplProperty> *properties);

#endif
