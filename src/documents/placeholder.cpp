// Filled as the documents arrive.
