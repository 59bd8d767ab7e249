// Shared set-up of the editor's tests: the class library and the editor's
// classes registered once, and the bitmaps of the source tree's resources
// folder registered as the program's start-up does with the embedded copies.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "editor/txteditinit.h"
#include "editor/txthighlighter.h"
#include "platform/classes/init.h"
#include "platform/controls/controls_init.h"
#include "platform/rtl/resources.h"

inline void InitEditorTestClasses() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  static std::list<std::vector<char>> Store;  // registered bytes must outlive the table
  const std::filesystem::path Dir = std::filesystem::path(PV_SOURCE_DIR) / "resources" / "bitmaps";
  for (const auto& E : std::filesystem::directory_iterator(Dir)) {
    if (E.path().extension() != ".bmp") continue;
    std::ifstream In(E.path(), std::ios::binary);
    Store.emplace_back((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    RegisterResource(RT_BITMAP, E.path().stem().string(), Store.back().data(), Store.back().size());
  }
  InitClasses();
  InitControls();
  InitEditorClasses();
}

// A highlighter of tests: a line is one token-less scan; Base is the
// highlighter class it stands on, Attributes the styles it holds.
template <class Base = TTxtCustomHighlighter>
class TQuietHighlighter : public Base {
 public:
  explicit TQuietHighlighter(TComponent* AOwner) : Base(AOwner) {}
  TTxtHighlighterAttributes* AddStyle(const AnsiString& Name, TTxtFontStyles Style = 0) {
    auto* a = new TTxtHighlighterAttributes(Name);
    a->SetStyle(Style);
    this->AddAttribute(a);
    return a;
  }
  TTxtHighlighterAttributes* DefaultAttribute(int) override { return nullptr; }
  bool AtLineEnd() const override { return true; }
  AnsiString TokenText() const override { return AnsiString(); }
  TTxtHighlighterAttributes* TokenAttribute() const override { return nullptr; }
  int TokenKind() const override { return 0; }
  int TokenStart() const override { return 0; }
  void NextToken() override {}
  void StartLine(const AnsiString&, int) override {}
};
