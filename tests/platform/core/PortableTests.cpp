// The portable runtime's tests, run under Wine as well: the same cases must
// hold with the system's collation and MulDiv as with the native build's.
#include "tests/native/platform/ListTest.cpp"
#include "tests/native/platform/RuntimeTest.cpp"
#include "tests/native/platform/TextTest.cpp"
#include "tests/native/platform/NumberTextTest.cpp"
#include "tests/native/platform/DateTimeTest.cpp"
#include "tests/native/platform/VariantTest.cpp"
