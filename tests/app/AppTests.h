#pragma once

// Each area's test class runs through one of these, so all of them share one executable.
int runFrameTests(int argc, char **argv);
int runBrowserTests(int argc, char **argv);
int runClientPageTests(int argc, char **argv);
int runSessionTests(int argc, char **argv);
int runStartUpTests(int argc, char **argv);
int runWizardTests(int argc, char **argv);
int runLineTests(int argc, char **argv);
