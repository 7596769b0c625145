#pragma once

// Each area's test class runs through one of these, so all of them share one executable.
int runRegistryTests(int argc, char **argv);
int runFormTests(int argc, char **argv);
int runMessageTests(int argc, char **argv);
int runStatusBarTests(int argc, char **argv);
