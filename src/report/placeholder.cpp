// Filled as the report engine arrives.
