#include "editor/txtmethodchain.h"

void TTxtMethodChain::Add(const TMethod& Handler) {
  if (Handler.Assigned()) FItems.push_back(Handler);
}

void TTxtMethodChain::Remove(const TMethod& Handler) {
  for (int i = int(FItems.size()) - 1; i >= 0; --i)
    if (FItems[std::size_t(i)] == Handler) FItems.erase(FItems.begin() + i);
}

void TTxtMethodChain::CallAll() {
  // A copy: handlers may add and remove handlers while the chain fires.
  const std::vector<TMethod> items = FItems;
  for (const TMethod& m : items) {
    try {
      CallHandler(m);
    } catch (Exception& e) {
      if (!DoHandleException(e)) return;
    }
  }
}

bool TTxtMethodChain::DoHandleException(Exception& E) {
  if (!OnHandlerError) throw;  // called inside the caller's catch: raises E again
  bool doContinue = true;
  try {
    OnHandlerError(this, E, doContinue);
  } catch (...) {
    throw ETxtMethodChain(ClassName() + ".DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler");
  }
  return doContinue;
}
