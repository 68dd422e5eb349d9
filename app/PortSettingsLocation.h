#pragma once
// Where the main window keeps its port's settings: always in the registry,
// under this key (the port adds its own name, ComPort1, below it).
#include "CPortTypes.h"

inline constexpr TStorageKind kPortSettingsStorage = skRegistry;
inline constexpr const char* kPortSettingsLocation = "HKEY_LOCAL_MACHINE\\Software\\Quorvel";
