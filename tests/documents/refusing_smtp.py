"""A mail server handler for the tests that refuses every message at its end."""


class Refusing:
    async def handle_DATA(self, server, session, envelope):
        return '554 5.7.1 Message refused by the test server'
