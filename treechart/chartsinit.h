// Registration of the chart classes (organisation chart, flow chart, the
// flow-chart editor and its dialogs) for window descriptions, and of the
// editor's zoom cursors; part of the program's ordered start-up list, after
// the class library (the cursors go to its Screen).
#pragma once

void InitChartClasses();
