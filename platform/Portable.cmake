# Sources of the platform layer that include no Windows header: they build for
# the target and natively (tests/native: sanitizers and fuzzing). Files under
# native/ stand in for what the Windows build takes from the system.
set(MEVRA_PLATFORM_PORTABLE_SOURCES
  Bcd.cpp BmpCodec.cpp CallbackGuard.cpp Collection.cpp Component.cpp DateTime.cpp Exceptions.cpp FormatSettings.cpp
  List.cpp Md5.cpp NumberText.cpp Numbers.cpp Object.cpp Persistent.cpp ResourceString.cpp Seams.cpp Stream.cpp StringList.cpp Text.cpp
  Units.cpp Variant.cpp
  native/CodePage.cpp native/Collation.cpp native/ComponentState.cpp native/DebugOutput.cpp native/LocaleFormats.cpp
  native/ResourceString.cpp native/Seams.cpp native/VariantDate.cpp)
