// A window description in the shape of the story window: one form-edge dock
// site filling the form; a layout site holding a main tab container (without
// caption) over an empty layout site; a bottom tab container and a left tab
// container that auto-hide; a side container of two panels at the right of
// the main pages. Twenty-six dock controls, written in UTF-8 here
// and read as code page 936 (the nesting is by object and end; indentation
// is only for reading).
#pragma once

#include <string>

#include "docking/tests/docktest.h"
#include "platform/gdi/tests/refimage.h"
#include "platform/rtl/strings.h"

inline std::string StoryPanel(const char* Name, const char* Caption, int W, int H, int Image = -1, int DockType = 1) {
  std::string S = std::string("        object ") + Name + ": TkxDockPanel\n" +
                  "          Left = 0\n          Top = 0\n          Width = " + std::to_string(W) +
                  "\n          Height = " + std::to_string(H) + "\n          AllowFloating = True\n" +
                  "          AutoHide = False\n          Caption = '" + Caption + "'\n";
  if (Image >= 0) S += "          ImageIndex = " + std::to_string(Image) + "\n";
  S += "          DockType = " + std::to_string(DockType) + "\n          OriginalWidth = " + std::to_string(W) +
       "\n          OriginalHeight = " + std::to_string(H) + "\n" + "          object " + Name +
       "Box: TBox\n            Left = 0\n            Top = 0\n            Width = 20\n            Height = 20\n" +
       "            Align = alClient\n            Color = clWindow\n          end\n        end\n";
  return S;
}

inline std::string StoryContainer(const char* Name, int DockType, bool AutoHide, int Position, int W, int H,
                                  bool ShowCaption, const std::string& Panels) {
  std::string S = std::string("      object ") + Name + ": TkxTabContainerDockSite\n" +
                  "        Left = 0\n        Top = 0\n        Width = " + std::to_string(W) +
                  "\n        Height = " + std::to_string(H) + "\n        ActiveChildIndex = 0\n" +
                  "        AllowFloating = True\n        AutoHide = " + (AutoHide ? "True" : "False") + "\n";
  if (!ShowCaption) S += "        ShowCaption = False\n";
  S += "        DockType = " + std::to_string(DockType) + "\n        OriginalWidth = " + std::to_string(W) +
       "\n        OriginalHeight = " + std::to_string(H) + "\n";
  if (AutoHide) S += "        AutoHidePosition = " + std::to_string(Position) + "\n";
  return S + Panels + "      end\n";
}

// The description as code page 936 text.
inline AnsiString StoryWindowText() {
  const std::string Main = StoryPanel("TextPanel", "文本", 470, 329) + StoryPanel("DesignPanel", "设计", 470, 329) +
                           StoryPanel("MaterialPanel", "资料", 470, 329) + StoryPanel("ChartPanel", "图形", 470, 329) +
                           StoryPanel("ModelPanel", "模型", 470, 329);
  const std::string Bottom = StoryPanel("CurrentPanel", "1当前设计", 600, 160) +
                             StoryPanel("Design2Panel", "2设计", 600, 160) + StoryPanel("PatternPanel", "3模式", 600, 160) +
                             StoryPanel("NarrativePanel", "4叙述", 600, 160) + StoryPanel("SearchPanel", "查找", 600, 160);
  const std::string Left = StoryPanel("NovelPanel", "小说", 193, 152) + StoryPanel("TemplatePanel", "设计", 193, 152) +
                           StoryPanel("LibraryPanel", "模式", 193, 152) + StoryPanel("InspectorPanel", "属性", 193, 152) +
                           StoryPanel("NarrativeTreePanel", "叙述", 193, 152);
  std::string Side = StoryPanel("OutlinePanel", "大纲", 120, 533, -1, 2) + StoryPanel("PeoplePanel", "人物", 120, 533, -1, 2);
  std::string T = "object StoryWrite: TForm\n  Left = 40\n  Top = 40\n  Width = 800\n  Height = 560\n"
                  "  Caption = 'Story'\n"
                  "  object RightHost: TkxDockSite\n    Left = 0\n    Top = 0\n    Width = 792\n    Height = 533\n"
                  "    Align = alClient\n    DockType = 0\n    OriginalWidth = 792\n    OriginalHeight = 533\n"
                  "    object rightLayoutDockSite: TkxLayoutDockSite\n      Left = 0\n      Top = 0\n"
                  "      Width = 792\n      Height = 533\n      DockType = 1\n      OriginalWidth = 792\n"
                  "      OriginalHeight = 533\n"
                  "      object innerLayoutDockSite: TkxLayoutDockSite\n        Left = 0\n        Top = 0\n"
                  "        Width = 792\n        Height = 533\n        DockType = 1\n        OriginalWidth = 792\n"
                  "        OriginalHeight = 533\n"
                  "        object mainLayoutDockSite: TkxLayoutDockSite\n          Left = 0\n          Top = 0\n"
                  "          Width = 792\n          Height = 533\n          DockType = 1\n          OriginalWidth = 792\n"
                  "          OriginalHeight = 533\n"
                  "        object emptyLayoutDockSite: TkxLayoutDockSite\n          Left = 0\n          Top = 0\n"
                  "          Width = 792\n          Height = 533\n          DockType = 1\n          OriginalWidth = 792\n"
                  "          OriginalHeight = 533\n        end\n";
  T += StoryContainer("mainTabContainerDockSite", 1, false, 0, 470, 329, false, Main);
  T += "        end\n";
  // Two panels side by side in a side container at the right of the main pages.
  T += "        object sideHorizContainerDockSite: TkxHorizContainerDockSite\n          Left = 0\n          Top = 0\n"
       "          Width = 240\n          Height = 533\n          ActiveChildIndex = -1\n          AllowFloating = True\n"
       "          AutoHide = False\n          DockType = 4\n          OriginalWidth = 240\n"
       "          OriginalHeight = 533\n";
  T += Side;
  T += "        end\n";
  T += "      end\n";
  T += StoryContainer("bottomTabContainerDockSite", 5, true, 3, 600, 160, true, Bottom);
  T += "    end\n";
  T += StoryContainer("leftTabContainerDockSite", 2, true, 0, 193, 152, true, Left);
  T += "  end\nend\n";
  return Utf8ToAnsi(T);
}

// The story window read from its description, shown, with the manager on a
// data module of its own (as the application keeps it).
class StoryWindowTest : public DockTest {
 protected:
  TkxDockingManager* M = nullptr;
  TDataModule* Module = nullptr;
  TForm* Story = nullptr;
  void SetUp() override {
    DockTest::SetUp();
    RegisterClass(TForm::StaticClass());
    Module = new TDataModule(nullptr, 0);
    M = new TkxDockingManager(Module);
    Story = dynamic_cast<TForm*>(ReadComponentFromText(StoryWindowText(), nullptr));
    ASSERT_NE(Story, nullptr);
    Story->Show();
    Pump();
  }
  void TearDown() override {
    if (Story) Story->Free();
    delete Module;
    DockTest::TearDown();
  }
  template <class T>
  T* Named(const char* Name) {
    return dynamic_cast<T*>(Story->FindComponent(Name));
  }
  TRawImage Shot() {
    RECT R;
    GetWindowRect(Story->Handle(), &R);
    const std::vector<std::uint32_t> Pixels = hb->ComposeScreen(R);
    TRawImage Img;
    Img.Width = R.right - R.left;
    Img.Height = R.bottom - R.top;
    Img.Pixels = Pixels;
    return Img;
  }
};
