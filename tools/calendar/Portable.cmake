# Sources of the Hebrew year-table generator that include no Windows header:
# it also builds natively (tests/native/tools). Paths are relative to
# tools/calendar/.
set(MEVRA_CALENDAR_TOOLS_PORTABLE_SOURCES HebrewYears.cpp)
