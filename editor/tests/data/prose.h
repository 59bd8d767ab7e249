<RuleHighlighter>
 <Info>
  <General>
   <Name>小说正文</Name>
   <FileTypeName>txt</FileTypeName>
  </General>
 </Info>
 <Range Name="Root">
 <Def><Back>536870911</Back><Fore>0</Fore><Style></Style></Def>
 <Num><Back>536870911</Back><Fore>16711680</Fore><Style></Style></Num>
 <DelimiterChars>!&qt;#$%&amp;'()*+,-./:;&lt;=&gt;?@[\]^`{|}~，。、；：？！</DelimiterChars>
 <AnyTerm>True</AnyTerm>
 <CaseSensitive>False</CaseSensitive>
 <KW Name="人物">
  <Attri><Back>536870911</Back><Fore>128</Fore><Style>B</Style></Attri>
  <W>张三</W>
  <W>李四</W>
  <W>Alice</W>
 </KW>
 <KW Name="地点">
  <Attri><Back>13434879</Back><Fore>8388608</Fore><Style></Style></Attri>
  <W>长安</W>
  <W>洛阳</W>
 </KW>
  <Range Name="对白">
  <Def><Back>536870911</Back><Fore>32768</Fore><Style></Style></Def>
  <Num><Back>536870911</Back><Fore>32768</Fore><Style></Style></Num>
  <OpenSymbol>“</OpenSymbol>
  <CloseSymbol>”</CloseSymbol>
  <DelimiterChars>!,.:;?，。！？</DelimiterChars>
  <AnyTerm>True</AnyTerm>
  <CaseSensitive>False</CaseSensitive>
  </Range>
  <Range Name="批注">
  <Def><Back>536870911</Back><Fore>8421504</Fore><Style>I</Style></Def>
  <Num><Back>536870911</Back><Fore>8421504</Fore><Style>I</Style></Num>
  <OpenSymbol>//</OpenSymbol>
  <DelimiterChars>!,.:;?</DelimiterChars>
  <AnyTerm>True</AnyTerm>
  <CloseOnEol>True</CloseOnEol>
  <CaseSensitive>False</CaseSensitive>
  </Range>
 </Range>
</RuleHighlighter>
