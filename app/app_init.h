// Start-up of the application: registers its components, forms and data
// module with their published properties and handler tables. Called from the
// program's ordered start-up list after the component libraries. Idempotent.
#pragma once

void InitApp();
