// Filled in by its unit's developer.
