# Sources of the masked editors that include no Windows header: the
# regular-expression engine and the standard mask. They build for the target and natively (the
# differential test against a reference engine and the benchmark). The
# locale's separators come from the platform's format settings.
set(MEVRA_MASKED_PORTABLE_SOURCES
  RegExpr.cpp RegExprConsts.cpp RegExprItems.cpp StandardMask.cpp SpinStep.cpp)
