// Linked by both.
