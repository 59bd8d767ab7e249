inherited MainForm: TTestForm2
  inherited Button1: TTestControl
    Left = 5
  end
  object Panel1: TTestControl
  end
end
