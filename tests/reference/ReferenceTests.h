#pragma once

// Each area's test class runs through one of these, so all of them share one executable.
int runContactNameTests(int argc, char **argv);
int runPriceListExchangeTests(int argc, char **argv);
int runPriceWindowTests(int argc, char **argv);
int runClientWindowTests(int argc, char **argv);
int runToolsMenuTests(int argc, char **argv);
int runLineDialogTests(int argc, char **argv);
