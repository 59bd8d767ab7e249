// Mask modes: the strategy objects through which a mask editor applies one
// kind of mask. A mode compiles the mask, turns values into shown texts and
// back, and tells whether a text is a complete value: the standard mode over
// a fixed-position mask, the regular-expression mode, and the auto-completing
// regular-expression mode that also supplies the fixed characters every value
// must contain. The modes here work without an editor, as the mask properties
// use them to format and validate values.
//
// Texts are code page 936; a double-byte character is one character of a
// mask and is never split.
#pragma once
#include <memory>
#include "editors/uxediterrors.h"
#include "editors/uxregexpr.h"
#include "editors/uxstdmask.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// The notation of an edit mask.
enum TuxEditMaskKind { emkStandard = 0, emkRegExpr = 1, emkRegExprEx = 2 };

inline constexpr const char* uxSMaskEditRegExprError = "Regular expression errors:";

// A mask that does not compile.
PV_DECLARE_EXCEPTION(EuxMaskEditError, EuxEditError)

// What a mode reads of the mask properties it works for.
class IuxMaskEditModeProperties {
 public:
  virtual ~IuxMaskEditModeProperties() = default;
  // Letters of a regular expression match without case.
  virtual bool GetCaseInsensitive() const = 0;
  // An incomplete text is accepted on validation.
  virtual bool GetIgnoreMaskBlank() const = 0;
  virtual TEditCharCase GetCharCase() const = 0;
};

class TuxMaskEditCustomMode : public TObject {
  PV_CLASS(TuxMaskEditCustomMode, TObject)
 public:
  explicit TuxMaskEditCustomMode(IuxMaskEditModeProperties* Properties) : FProperties(Properties) {}
  TuxMaskEditCustomMode(const TuxMaskEditCustomMode&) = delete;
  TuxMaskEditCustomMode& operator=(const TuxMaskEditCustomMode&) = delete;

  virtual TuxEditMaskKind GetModeKind() const = 0;
  // Stores and compiles Mask; an empty mask leaves nothing in force. Raises
  // EuxMaskEditError when a regular expression does not compile.
  virtual void Compile(const AnsiString& Mask) = 0;
  // The value text of an empty masked value.
  virtual AnsiString GetEmptyString() = 0;
  // Text as an editor shows it while editing.
  virtual AnsiString GetFormattedText(const AnsiString& Text, bool KeepLiterals) = 0;
  // Whether Text is a complete value for the mask.
  virtual bool IsTextAccepted(const AnsiString& Text) = 0;
  // The edit value text of a shown text.
  virtual AnsiString GetValueText(const AnsiString& Text, bool KeepLiterals) = 0;

  // The mask last given to Compile.
  const AnsiString& GetMask() const { return FMask; }
  IuxMaskEditModeProperties* GetProperties() const { return FProperties; }
  // Set when a mask was compiled while no editor could show the value.
  bool GetNeedUpdateEditValue() const { return FNeedUpdateEditValue; }

 protected:
  AnsiString FMask;
  bool FNeedUpdateEditValue = false;

 private:
  IuxMaskEditModeProperties* FProperties;
};

// The fixed-position mask.
class TuxMaskEditStandardMode : public TuxMaskEditCustomMode {
  PV_CLASS(TuxMaskEditStandardMode, TuxMaskEditCustomMode)
 public:
  using TuxMaskEditCustomMode::TuxMaskEditCustomMode;
  TuxEditMaskKind GetModeKind() const override { return emkStandard; }
  void Compile(const AnsiString& Mask) override;
  AnsiString GetEmptyString() override;
  AnsiString GetFormattedText(const AnsiString& Text, bool KeepLiterals) override;
  bool IsTextAccepted(const AnsiString& Text) override;
  AnsiString GetValueText(const AnsiString& Text, bool KeepLiterals) override;
  // The character an empty position shows; Position counts from 1.
  TuxMaskChar GetBlank(int Position) const { return FMaskObject.Blank(); }
  const TuxStandardMask& StandardMask() const { return FMaskObject; }

 private:
  TuxStandardMask FMaskObject;
};

// A regular expression that describes the whole value.
class TuxMaskEditRegExprMode : public TuxMaskEditCustomMode {
  PV_CLASS(TuxMaskEditRegExprMode, TuxMaskEditCustomMode)
 public:
  // The expression takes the properties' CaseInsensitive.
  explicit TuxMaskEditRegExprMode(IuxMaskEditModeProperties* Properties);
  TuxEditMaskKind GetModeKind() const override { return emkRegExpr; }
  void Compile(const AnsiString& Mask) override;
  AnsiString GetEmptyString() override { return AnsiString(); }
  AnsiString GetFormattedText(const AnsiString& Text, bool KeepLiterals) override;
  bool IsTextAccepted(const AnsiString& Text) override;
  AnsiString GetValueText(const AnsiString& Text, bool KeepLiterals) override { return Text; }
  TuxRegExpr& RegExpr() { return FRegExpr; }

 protected:
  // A second expression compiled from this one's source, with the
  // properties' CaseInsensitive and without auto-completion; nullptr when
  // this one is not compiled or the copy does not compile.
  std::unique_ptr<TuxRegExpr> CompileCopy() const;

  TuxRegExpr FRegExpr;
};

// A regular expression whose fixed characters are typed by themselves.
class TuxMaskEditRegExprExMode : public TuxMaskEditRegExprMode {
  PV_CLASS(TuxMaskEditRegExprExMode, TuxMaskEditRegExprMode)
 public:
  explicit TuxMaskEditRegExprExMode(IuxMaskEditModeProperties* Properties);
  TuxEditMaskKind GetModeKind() const override { return emkRegExprEx; }
  void Compile(const AnsiString& Mask) override;
  // The characters every value starts with.
  AnsiString GetEmptyString() override;
  // The accepted characters of Text and the fixed characters that follow them.
  AnsiString GetFormattedText(const AnsiString& Text, bool KeepLiterals) override;
  bool IsTextAccepted(const AnsiString& Text) override;
  // What auto-completion reported since it was last cleared.
  const AnsiString& GetCompletionText() const { return FCompletionText; }
  int GetRemovedLiteralCount() const { return FRemovedLiteralCount; }

 private:
  void LiteralAppended(TObject* Sender, TuxMaskChar Ch);
  void LiteralRemoved(TObject* Sender);
  void ClearCompletion();
  // Compiles a copy as GetEmptyString does; Starting gets the characters
  // every value starts with. Internal events collect them.
  std::unique_ptr<TuxRegExpr> CompileCopyWithStart(AnsiString& Starting);
  void InternalLiteralAppended(TObject* Sender, TuxMaskChar Ch);

  AnsiString FCompletionText;
  int FRemovedLiteralCount = 0;
  AnsiString FInternalCompletionText;
};
