// Filled as the components arrive.
