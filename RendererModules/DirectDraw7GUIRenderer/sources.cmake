# Module core (everything but the exports): filled in as the module grows.
