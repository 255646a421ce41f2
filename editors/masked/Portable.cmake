# Sources of the masked editors that include no Windows header: the
# regular-expression engine. They build for the target and natively (the
# differential test against a reference engine and the benchmark). Each build
# adds its own locale source: RegExprLocaleWin32.cpp for the target,
# RegExprLocaleFixed.cpp natively.
set(MEVRA_MASKED_PORTABLE_SOURCES
  RegExpr.cpp RegExprConsts.cpp RegExprItems.cpp)
