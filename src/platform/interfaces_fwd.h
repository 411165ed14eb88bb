#pragma once
// The platform interfaces, by name only, for the structs that hand a set of
// them around.

namespace hv::platform {
class Clock;
class Files;
class ProfileFile;
class VersionInfo;
class Locale;
class Shell;
class Network;
class TcpNetwork;
class TrustRoots;
class Http;
class Registry;
class SystemInfo;
class LocaleInfo;
class Desktop;
class Random;
}  // namespace hv::platform
