// Replaced when the resources are built in.
