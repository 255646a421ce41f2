// Exceptions of the runtime: every failure is an exception carrying a message.
// Portable: no Windows headers, so decoders built on it also build natively.
#pragma once

#include <exception>
#include <string>

// The root of every exception the system raises.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

class EConvertError : public Exception { public: using Exception::Exception; };
class EInvalidOperation : public Exception { public: using Exception::Exception; };
class EInvalidPointer : public Exception { public: using Exception::Exception; };
class EOutOfResources : public Exception { public: using Exception::Exception; };
class EOutOfMemory : public Exception { public: using Exception::Exception; };
class EListError : public Exception { public: using Exception::Exception; };
class EStringListError : public Exception { public: using Exception::Exception; };
class EStreamError : public Exception { public: using Exception::Exception; };
class EFCreateError : public EStreamError { public: using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { public: using EStreamError::EStreamError; };
class EFilerError : public EStreamError { public: using EStreamError::EStreamError; };
class EReadError : public EFilerError { public: using EFilerError::EFilerError; };
class EWriteError : public EFilerError { public: using EFilerError::EFilerError; };
class EClassNotFound : public EFilerError { public: using EFilerError::EFilerError; };
class EOleError : public Exception { public: using Exception::Exception; };
class EOSError : public Exception { public: using Exception::Exception; };
class EInOutError : public Exception { public: using Exception::Exception; };
class EThread : public Exception { public: using Exception::Exception; };
class EComponentError : public Exception { public: using Exception::Exception; };
class EResNotFound : public Exception { public: using Exception::Exception; };
class EIntfCastError : public Exception { public: using Exception::Exception; };

// A COM call that failed: the message and the HRESULT.
class EOleSysError : public EOleError {
public:
  EOleSysError(const std::string& message, long errorCode) : EOleError(message), FErrorCode(errorCode) {}
  long ErrorCode() const { return FErrorCode; }

private:
  long FErrorCode;
};

// Silent exception: unwinds without an error box.
class EAbort : public Exception { public: using Exception::Exception; };

// A failed assertion: the message and the unit (source file) that asserted.
class EAssertionFailed : public Exception {
public:
  EAssertionFailed(const std::string& message, const std::string& unit, int line);
  const std::string& Unit() const { return FUnit; }
  int Line() const { return FLine; }

private:
  std::string FUnit;
  int FLine;
};

// Raises EAbort.
[[noreturn]] void Abort();

// Raises EAssertionFailed with `message` unless `condition` holds.
#define MevraAssert(condition, message) \
  ((condition) ? (void)0 : throw EAssertionFailed((message), __FILE__, __LINE__))
