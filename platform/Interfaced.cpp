#include "platform/Interfaced.h"

#include "platform/Exceptions.h"
#include "platform/Text.h"

HRESULT HandleComException(TObject* sender) noexcept {
  HRESULT result = E_UNEXPECTED;
  try {
    throw;
  } catch (const EOleSysError& e) {
    result = static_cast<HRESULT>(e.ErrorCode());
  } catch (const EAbort&) {
    result = E_ABORT;
  } catch (const EOutOfMemory&) {
    result = E_OUTOFMEMORY;
  } catch (const std::bad_alloc&) {
    result = E_OUTOFMEMORY;
  } catch (...) {
  }
  try {
    throw;
  } catch (...) {
    HandleCallbackException(sender);
  }
  return result;
}

HRESULT OleCheck(HRESULT result) {
  if (FAILED(result)) throw EOleSysError(Format("OLE error %08X", static_cast<unsigned>(result)), result);
  return result;
}
