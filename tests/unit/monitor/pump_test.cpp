// Pump tests follow.
