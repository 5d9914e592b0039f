"""The loopback HTTPS stand-in for the vendor service, used by tests and the demo."""
