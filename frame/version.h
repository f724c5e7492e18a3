// The plug-ins' version, shared by the code and the version resource (the
// resource compiler reads this file too, so it holds #defines only).
#ifndef QUILLMERE_VERSION_H
#define QUILLMERE_VERSION_H

#define QUILLMERE_VERSION_MAJOR 1
#define QUILLMERE_VERSION_MINOR 10
#define QUILLMERE_VERSION_PATCH 0
#define QUILLMERE_VERSION_BUILD 0
// What people are shown: major.minor only, the way every earlier release
// was named.
#define QUILLMERE_VERSION_TEXT "1.10"

#endif
