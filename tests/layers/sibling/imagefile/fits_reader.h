// Not linked by spectrum.
