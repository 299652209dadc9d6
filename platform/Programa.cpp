// Starting another program.
