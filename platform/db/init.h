// Registers the data-access classes and their published properties, so window
// descriptions can create data sources, connections, tables and queries by
// class name. Called from the program's ordered start-up list after InitClasses().
#pragma once

void InitDataAccess();
