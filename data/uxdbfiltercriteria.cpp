#include "data/uxdbfiltercriteria.h"

bool uxSetDataSetFilter(TDataSet* DataSet, const AnsiString& FilterText, bool CaseInsensitive, bool Filtered) {
  TFilterOptions options{foNoPartialCompare};
  if (CaseInsensitive) options << foCaseInsensitive;
  if (DataSet->Filter() == FilterText && DataSet->FilterOptions() == options && DataSet->Filtered() == Filtered)
    return false;
  DataSet->DisableControls();
  try {
    DataSet->SetFilter(FilterText);
    DataSet->SetFilterOptions(options);
    DataSet->SetFiltered(Filtered);
  } catch (...) {
    DataSet->EnableControls();
    throw;
  }
  DataSet->EnableControls();
  return true;
}

AnsiString uxDoubleQuotes(const AnsiString& Text) {
  // A quote (0x27) is never the trail byte of a double-byte character.
  AnsiString r;
  r.reserve(Text.size());
  for (char c : Text) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r;
}
