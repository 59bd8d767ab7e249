// Chains of event handlers: each handler is kept as its (code, object) pair,
// so the same handler is recognised when it is removed. A handler that raises
// stops the firing unless the chain's OnHandlerError lets it continue.
#pragma once
#include <exception>
#include <vector>

#include "platform/classes/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"

PV_DECLARE_EXCEPTION(ETxtMethodChain, Exception)

using TTxtExceptionEvent = TEvent<void(TObject* Sender, Exception& E, bool& DoContinue)>;

class TTxtMethodChain : public TObject {
  PV_CLASS(TTxtMethodChain, TObject)
 public:
  TTxtMethodChain() = default;

  void Add(const TMethod& Handler);
  // Removes every entry equal to Handler, scanning from the newest.
  void Remove(const TMethod& Handler);
  int Count() const { return int(FItems.size()); }
  // Calls every handler in the order added.
  void CallAll();

  TTxtExceptionEvent OnHandlerError;

 protected:
  virtual void CallHandler(const TMethod& Handler) = 0;
  // Returns false when the firing stops here; raises again without OnHandlerError.
  virtual bool DoHandleException(Exception& E);

 private:
  std::vector<TMethod> FItems;
};

// A chain of notify handlers, all called with the chain's Sender.
class TTxtNotifyEventChain : public TTxtMethodChain {
  PV_CLASS(TTxtNotifyEventChain, TTxtMethodChain)
 public:
  explicit TTxtNotifyEventChain(TObject* ASender = nullptr) : Sender(ASender) {}
  void Add(const TNotifyEvent& H) { TTxtMethodChain::Add(H.ToMethod()); }
  void Remove(const TNotifyEvent& H) { TTxtMethodChain::Remove(H.ToMethod()); }
  void Fire() { CallAll(); }
  TObject* Sender = nullptr;

 protected:
  void CallHandler(const TMethod& Handler) override { TNotifyEvent::FromMethod(Handler)(Sender); }
};
