"""Prints the messages of a Maildir as JSON, decoded by Python's own mail parser.

The strict policy turns every defect of a header (a date that is no date, say) into an error."""
import base64
import email
import json
import mailbox
import sys
from email import policy

box = mailbox.Maildir(sys.argv[1], factory=None, create=False)
out = []
for key in sorted(box.keys()):
    with box.get_file(key) as f:
        msg = email.message_from_binary_file(f, policy=policy.strict)
    headers = list(msg.items())  # parses every header
    date = msg['Date'].datetime if msg['Date'] else None
    body = msg.get_body(preferencelist=('plain',))
    text = body.get_content() if body is not None else ''
    out.append({
        'rcpt': [str(v) for v in msg.get_all('X-RcptTo', [])],
        'headers': [k for k, _ in headers],
        'defects': [f'{k}: {type(d).__name__}' for k, v in headers for d in v.defects]
        + [type(d).__name__ for d in msg.defects],
        'date': date.isoformat() if date is not None and date.tzinfo else '',
        'to': str(msg.get('To', '')),
        'cc': str(msg.get('Cc', '')),
        'subject': str(msg.get('Subject', '')),
        'text': text.replace('\r\n', '\n'),
        'attachments': [{
            'name': p.get_filename(),
            'type': p.get_content_type(),
            'data': base64.b64encode(p.get_payload(decode=True)).decode('ascii'),
        } for p in msg.iter_attachments()],
    })
print(json.dumps(out))
