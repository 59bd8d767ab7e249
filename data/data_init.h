// Start-up and shut-down of the data layer. Part of the program's ordered
// initialisation list: the value types are registered here, in the order of
// their table, and unregistered in reverse order at shut-down.
#pragma once

// Idempotent: the second call does nothing until FinalizeData.
void InitData();
// Unregisters the value types and frees their registry.
void FinalizeData();
bool DataInitialised();

// The dataset adapters: the filter operator adapters and the detail filter
// adapters, each registered for TDataSet. Idempotent like InitData.
void InitDataSetAdapters();
void FinalizeDataSetAdapters();
