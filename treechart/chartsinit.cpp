// Start-up registration of the chart classes.
#include "treechart/chartsinit.h"

#include "treechart/dborgchart.h"
#include "treechart/fceditor.h"

void InitChartClasses() {
  kxInitOrgChartClasses();
  kxInitFlowChartEditor();
}
