// Filled as the reference windows arrive.
