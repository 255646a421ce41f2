#include "skin/SkinUnit.h"

#include "skin/ImgUtil.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"

void SkinUnitInit() {
  BindSkinUser32();
  InitControlAtom();
  CreateSkinPaintBuffer();
  InstallSkinHook();
}

void SkinUnitDone() {
  FreeSkinManager();
  RemoveSkinHook();
  FreeSkinPaintBuffer();
  ClearGradientCache();
  DoneControlAtom();
}
