object MainForm: TTestForm
  object Button1: TTestControl
    Caption = 'БъЬт'
    OnClick = Button1Click
  end
end
