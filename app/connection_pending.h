// Stand-ins for the connection calls until the connection subsystem is merged.
#pragma once

inline void ReadConnectionSettings() {}
inline void CheckDialProfile() {}
inline void SyncAutoDial() {}
inline void SyncAutoDisconnect() {}
