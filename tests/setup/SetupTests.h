#pragma once

// Each area's test class runs through one of these, so all of them share one executable.
int runSetupWindowTests(int argc, char **argv);
int runOptionsTests(int argc, char **argv);
int runFinderTests(int argc, char **argv);
int runFirstRunTests(int argc, char **argv);
